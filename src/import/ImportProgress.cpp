#include "import/ImportProgress.h"

#include <cmath>

namespace folimar::import {

namespace {

QString pages(int count) {
    return count == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(count);
}

} // namespace

QString ImportProgress::headline() const {
    return QStringLiteral("Importing page %1 of %2").arg(std::min(done + 1, total)).arg(total);
}

QString ImportProgress::pace() const {
    if (secondsLeft < 0)
        return QString();
    const QString left = secondsLeft < 60
                             ? QStringLiteral("less than a minute left")
                             : QStringLiteral("about %1 min left").arg((secondsLeft + 59) / 60);
    return QStringLiteral("%1 pages a minute, %2").arg(qRound(pagesPerMinute)).arg(left);
}

QString ImportSummary::text() const {
    QString summary = QStringLiteral("%1 imported").arg(pages(imported));
    if (!skipped.isEmpty())
        summary += QStringLiteral(", %1 skipped: %2")
                       .arg(skipped.size())
                       .arg(skipped.join(QStringLiteral(", ")));
    if (cancelled)
        summary += QStringLiteral(". The import was cancelled");
    if (!failure.isEmpty())
        summary += QStringLiteral(". The import stopped: %1").arg(failure);
    if (!textWarning.isEmpty())
        summary += QStringLiteral(". No text was read from the pictures: %1").arg(textWarning);
    return summary + QLatin1Char('.');
}

} // namespace folimar::import
