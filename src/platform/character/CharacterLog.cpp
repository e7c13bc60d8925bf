#include "platform/character/CharacterLog.h"

namespace folimar::character {

Q_LOGGING_CATEGORY(characterLog, "folimar.character", QtWarningMsg)

} // namespace folimar::character
