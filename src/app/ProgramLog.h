#pragma once

#include <QLoggingCategory>

namespace folimar::app {

// "folimar.app": start-up and the instance link; quiet by default.
Q_DECLARE_LOGGING_CATEGORY(programLog)

} // namespace folimar::app
