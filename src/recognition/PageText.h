#pragma once

#include <QList>
#include <QRect>
#include <QString>

namespace folimar::recognition {

// One recognised word: its box on the picture, in the picture's pixels, and where it
// stands in the recognised text (a hyphenated word split over two lines is two boxes
// whose places follow each other without a gap), and how sure the recognition was of it.
struct WordBox {
    // The confidence of a word read before confidences were kept.
    static constexpr qint32 UnknownConfidence = -1;

    QRect box;
    qint32 offset = 0;
    qint32 length = 0;
    qint32 confidence = UnknownConfidence; // 0 to 100, or unknown
    friend bool operator==(const WordBox&, const WordBox&) = default;
};

// The text read from a page's picture, with the box of each word.
struct PageText {
    QString text;
    QList<WordBox> words;
    friend bool operator==(const PageText&, const PageText&) = default;
};

} // namespace folimar::recognition
