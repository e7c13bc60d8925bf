#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

namespace folimar::import {

// How far an import has come.
struct ImportProgress {
    int done = 0; // pages stored or skipped
    int total = 0;
    double pagesPerMinute = 0;
    int secondsLeft = -1; // -1 until a page is done

    // "Importing page 12 of 300"
    QString headline() const;
    // "40 pages a minute, about 7 min left"
    QString pace() const;
};

// How an import ended. Every page stored stays in the book, also when it was cancelled
// or stopped by a failed write.
struct ImportSummary {
    int imported = 0;
    QStringList skipped; // "Report p.5 (the page cannot be read)"
    bool cancelled = false;
    QString failure;     // why the import stopped early; empty when it did not
    QString textWarning; // why no text could be read from pictures; empty when none

    // "298 pages imported, 2 skipped: Report p.5 (...), scan3.png (not a picture)"
    QString text() const;
};

} // namespace folimar::import

Q_DECLARE_METATYPE(folimar::import::ImportProgress)
Q_DECLARE_METATYPE(folimar::import::ImportSummary)
