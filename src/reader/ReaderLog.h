#pragma once

#include <QLoggingCategory>

namespace folimar::reader {

Q_DECLARE_LOGGING_CATEGORY(readerLog)

} // namespace folimar::reader
