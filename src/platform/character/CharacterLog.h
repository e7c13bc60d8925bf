#pragma once

#include <QLoggingCategory>

namespace folimar::character {

Q_DECLARE_LOGGING_CATEGORY(characterLog)

} // namespace folimar::character
