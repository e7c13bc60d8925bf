#include "app/ProgramLog.h"

namespace folimar::app {

Q_LOGGING_CATEGORY(programLog, "folimar.app", QtWarningMsg)

} // namespace folimar::app
