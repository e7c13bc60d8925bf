#pragma once

#include <QList>
#include <QStringView>

namespace folimar::proofreading {

// A word of a text: where it starts and how long it is, in UTF-16 units.
struct TextWord {
    qint32 offset = 0;
    qint32 length = 0;
    friend bool operator==(const TextWord&, const TextWord&) = default;
};

// The words of a text: runs of letters and digits (with their accents), joined by an
// apostrophe or a hyphen between two of them ("don't", "well-known"); the punctuation around
// them is not part of a word.
QList<TextWord> splitIntoWords(QStringView text);

} // namespace folimar::proofreading
