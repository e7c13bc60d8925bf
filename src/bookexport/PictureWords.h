#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

namespace folimar::bookexport {

// A piece of the page's text and the place on its picture (in the picture's pixels) where
// it was read.
struct WordOnPicture {
    QString text;
    QRectF box;
    friend bool operator==(const WordOnPicture&, const WordOnPicture&) = default;
};

// The words of the page's current text at their places on a picture of `size`, matched
// as the reader matches them to mark the spoken sentence. A word hyphenated over a line
// end is parted between its two boxes; a word the recognition did not read (added since)
// follows the word before it on its line, so the text keeps its order. Empty when no word
// has a place: the text then goes on the page as a block.
QList<WordOnPicture> wordsOnPicture(const QString& text, const QByteArray& wordBoxes,
                                    const QSize& size);

} // namespace folimar::bookexport
