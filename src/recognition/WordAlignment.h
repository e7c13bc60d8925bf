#pragma once

#include "recognition/PageText.h"

#include <QList>
#include <QRect>
#include <QString>

namespace folimar::recognition {

// A word of the page's text as it is now, with the boxes it has on the picture (two for a
// word hyphenated over a line end) and the recognition's confidence in it (the least of its
// parts'; unknown when any part's is).
struct PlacedWord {
    qint32 offset = 0;
    qint32 length = 0;
    QList<QRect> boxes;
    qint32 confidence = WordBox::UnknownConfidence;
    friend bool operator==(const PlacedWord&, const PlacedWord&) = default;
};

// Finds the words of `text` on the picture the page was recognised from. The text may
// have been corrected since: its words are matched in order against the recognised words,
// and only words that match get boxes. A text too unlike the recognised one gets none, so
// nothing is ever marked in the wrong place. A page recognised before the recognised text
// was kept (its text empty) is taken as unchanged. Words are runs between white space.
QList<PlacedWord> placeWords(const QString& text, const PageText& recognised);

} // namespace folimar::recognition
