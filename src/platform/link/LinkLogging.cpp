#include "platform/link/LinkLogging.h"

namespace folimar::platform {

Q_LOGGING_CATEGORY(lcLink, "folimar.link", QtWarningMsg)

} // namespace folimar::platform
