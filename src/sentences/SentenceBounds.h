#pragma once

#include "sentences/SentenceEnds.h"

#include <QString>
#include <QStringList>

namespace folimar::sentences {

// Start of the sentence before the one that starts at `start`: just after the sentence end
// that precedes the end of the sentence before `start`, or 0 at the top of the text.
int previousSentenceStart(const QString& text, int start, SentenceEnds rule);

// The sentences a reading from the top of `text` speaks, in order: each runs from just
// after the previous sentence end (its leading space or line break included) through its
// end; the text after the last end is the final one. Nothing is left out.
QStringList sentencesOf(const QString& text, SentenceEnds rule);

// A reading place inside a word moves back to the word's start: reading never begins with
// "allow" of "swallow". A place before a word, between words or at a word's start stays.
int wordStartAt(const QString& text, int position);

// What is spoken of a sentence: lower-cased when capitals are to be read as small letters.
QString spokenForm(const QString& sentence, bool capsAsSmall);

} // namespace folimar::sentences
