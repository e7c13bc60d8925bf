#pragma once

#include <QLoggingCategory>

namespace folimar::platform {

Q_DECLARE_LOGGING_CATEGORY(lcLink)

} // namespace folimar::platform
