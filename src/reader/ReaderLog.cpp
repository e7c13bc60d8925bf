#include "reader/ReaderLog.h"

namespace folimar::reader {

// Quiet by default: QT_LOGGING_RULES="folimar.reader.info=true" shows what the reader did.
Q_LOGGING_CATEGORY(readerLog, "folimar.reader", QtWarningMsg)

} // namespace folimar::reader
