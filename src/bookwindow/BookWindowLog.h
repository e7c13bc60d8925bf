#pragma once

#include <QLoggingCategory>

namespace folimar::bookwindow {

// "folimar.bookwindow": pastes, conversions and stored pages; quiet by default.
Q_DECLARE_LOGGING_CATEGORY(bookWindowLog)

} // namespace folimar::bookwindow
