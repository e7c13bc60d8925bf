#pragma once

#include "platform/dialogs/Dialogs.h"

#include <QString>

#include <optional>

namespace folimar::topics {

// The whole number a number box holds, read as a typed number is: blanks around it are
// ignored and a fraction is rounded. None for text that is not a number.
std::optional<qint64> NumberIn(const QString& text);

// Topic numbers are 16-bit.
bool FitsTopicNo(qint64 number);

// The message refusing a topic number that does not fit (critical icon, OK).
platform::MessageRequest TopicNumberRefusal(qint64 number);

} // namespace folimar::topics
