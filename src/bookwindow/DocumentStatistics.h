#pragma once

#include <QString>
#include <QtGlobal>

namespace folimar::bookwindow {

// The counts of a book's statistics window, gathered topic by topic.
struct DocumentCounts {
    qint32 words = 0;
    qint32 sentences = 0;
    qint32 doubtful = 0; // the doubtful words of every page

    // Adds one topic's page text. Words are the runs of spaces plus the runs of line
    // breaks; sentences are the runs of periods. Each run is a group of delimiters that
    // directly follow one another, so "a b c" counts 2 words, "a  b" 1 and "a b c " 3.
    void addText(const QString& text);
};

// Reading time at three words a second as "hh:mm:ss" (at least two digits each).
QString ReadingTime(qint32 words);

} // namespace folimar::bookwindow
