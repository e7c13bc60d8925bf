#pragma once

#include <QString>

namespace folimar::reader {

bool isAsciiDigit(QChar c);

// A sentence ends at a "." that is not followed by a digit ("3.5" and "2.1" do not end one).
bool endsSentence(const QString& text, int periodIndex);

// Start of the sentence before the one that starts at `start`: just after the sentence end
// that precedes the period ending that sentence, or 0 at the top of the text.
int previousSentenceStart(const QString& text, int start);

} // namespace folimar::reader
