#pragma once

#include "recognition/PageText.h"

#include <QList>
#include <QRect>
#include <QString>

namespace folimar::recognition {

// One word as the engine read it.
struct ReadWord {
    QString text;
    QRect box;
    qint32 confidence = WordBox::UnknownConfidence;
};

// One line of words as the engine read it, and whether the engine began a paragraph there.
struct ReadLine {
    bool startsParagraph = false;
    QList<ReadWord> words;
    QRect box() const;
};

// The engine sometimes takes the short last line of a paragraph for the first line of the
// next ("you cannot" / "name." / "The next..."). A line that begins a paragraph of several
// lines is given back to the paragraph above when it stops well short of its paragraph's
// right edge and the gap above it is no wider than the page's usual gap between lines;
// the paragraph then begins with the line after it.
void keepShortLastLines(QList<ReadLine>& lines);

// The page's text from its lines (see PageTextBuilder).
PageText layOutLines(const QList<ReadLine>& lines);

} // namespace folimar::recognition
