#include "reader/SentenceBounds.h"

#include <algorithm>

namespace folimar::reader {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool endsSentence(const QString& text, int periodIndex) {
    if (periodIndex < 0 || periodIndex >= text.size() || text[periodIndex] != QLatin1Char('.'))
        return false;
    return periodIndex + 1 >= text.size() || !isAsciiDigit(text[periodIndex + 1]);
}

int previousSentenceStart(const QString& text, int start) {
    // start - 1 is the period that ends the previous sentence: look before it.
    for (int i = std::min(start, int(text.size())) - 2; i >= 0; --i) {
        if (endsSentence(text, i))
            return i + 1;
    }
    return 0;
}

} // namespace folimar::reader
