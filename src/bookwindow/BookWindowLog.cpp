#include "bookwindow/BookWindowLog.h"

namespace folimar::bookwindow {

Q_LOGGING_CATEGORY(bookWindowLog, "folimar.bookwindow", QtWarningMsg)

} // namespace folimar::bookwindow
