#pragma once

#include <QString>
#include <QStringList>

namespace folimar::sentences {

bool isAsciiDigit(QChar c);

// A sentence ends at a "." that is not followed by a digit ("3.5" and "2.1" do not end one).
bool endsSentence(const QString& text, int periodIndex);

// Start of the sentence before the one that starts at `start`: just after the sentence end
// that precedes the period ending that sentence, or 0 at the top of the text.
int previousSentenceStart(const QString& text, int start);

// The sentences a reading from the top of `text` speaks, in order: each runs from just
// after the previous sentence end (its leading space or line break included) through its
// period; the text after the last period is the final one. Nothing is left out.
QStringList sentencesOf(const QString& text);

// What is spoken of a sentence: lower-cased when capitals are to be read as small letters.
QString spokenForm(const QString& sentence, bool capsAsSmall);

} // namespace folimar::sentences
