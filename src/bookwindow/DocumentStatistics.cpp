#include "bookwindow/DocumentStatistics.h"

#include <cmath>

namespace folimar::bookwindow {

void DocumentCounts::addText(const QString& text) {
    // One pass over the text. Page texts keep their line breaks as LF; a stored CR LF
    // counts as one break too, so its CR is passed over.
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    QChar previous;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = chars[i];
        if (c == u'\r' && i + 1 < size && chars[i + 1] == u'\n')
            continue;
        if (c != previous) {
            if (c == u' ' || c == u'\n')
                ++words;
            else if (c == u'.')
                ++sentences;
        }
        previous = c;
    }
}

QString ReadingTime(qint32 words) {
    const float seconds = static_cast<float>(words) / 3.0f;
    // Rounded to the nearest second, ties to even.
    const qint64 total = static_cast<qint64>(std::nearbyint(seconds));
    const auto twoDigits = [](qint64 value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    return twoDigits(total / 3600) + QLatin1Char(':') + twoDigits((total / 60) % 60) +
           QLatin1Char(':') + twoDigits(total % 60);
}

} // namespace folimar::bookwindow
