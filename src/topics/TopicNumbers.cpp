#include "topics/TopicNumbers.h"

#include <cmath>
#include <limits>

namespace folimar::topics {

std::optional<qint64> NumberIn(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    // Far beyond any topic number, but still a number the range check can name.
    if (!ok || !std::isfinite(value) || std::fabs(value) > 1e15)
        return std::nullopt;
    return qint64(std::llround(value));
}

bool FitsTopicNo(qint64 number) {
    return number >= std::numeric_limits<qint16>::min() &&
           number <= std::numeric_limits<qint16>::max();
}

platform::MessageRequest TopicNumberRefusal(qint64 number) {
    return {number > 0 ? QStringLiteral("Topic numbers go up to 32767.")
                       : QStringLiteral("Topic numbers go down to -32768."),
            QStringLiteral("Folimar"), platform::MessageIcon::Critical,
            platform::MessageButtons::Ok};
}

} // namespace folimar::topics
