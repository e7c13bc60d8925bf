#pragma once

#include <QString>

namespace folimar::sentences {

// Where sentences end (a reading option; the values are those kept in the settings).
enum class SentenceEnds {
    // At a "." that is not followed by a digit: nothing else ends a sentence.
    FullStops = 0,
    // Also at "?" and "!", and at the end of a heading, a list item or a paragraph. A "."
    // (or "?", "!") ends one only before a space, a line break or the end of the text, with
    // any closing quotes or brackets after it; abbreviations ("Dr.", "e.g.") and initials
    // ("J. Smith") end none.
    Punctuation = 1,
};

// The sentence-end rule a setting value stands for; unknown values mean full stops.
SentenceEnds sentenceEndsOf(int setting);

// Index of the last character of the first sentence that ends at or after `from` (a start
// below 0 counts as 0), or -1 when none does. That character is the period, the last of
// "?!" or "..." and the quotes closing after them, or a paragraph's last character.
int nextSentenceEnd(const QString& text, int from, SentenceEnds rule);

} // namespace folimar::sentences
