#include "bookwindow/DocumentStatistics.h"

#include <cmath>

namespace folimar::bookwindow {

qint32 CountRuns(const QString& text, const QString& delimiter) {
    const qsizetype length = delimiter.size();
    qsizetype p = text.indexOf(delimiter, 0, Qt::CaseInsensitive);
    if (p < 0 || length == 0)
        return 0;
    qint32 runs = 0;
    qsizetype last = p;
    do {
        p = text.indexOf(delimiter, last + 1, Qt::CaseInsensitive);
        if (p - length != last)
            ++runs;
        last = p;
    } while (p >= 0);
    return runs;
}

void DocumentCounts::addText(const QString& text) {
    if (text.isEmpty())
        return;
    // Page texts keep their line breaks as LF; a stored CR LF counts as one break too.
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    words += CountRuns(lines, QStringLiteral(" ")) + CountRuns(lines, QStringLiteral("\n"));
    sentences += CountRuns(lines, QStringLiteral("."));
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
