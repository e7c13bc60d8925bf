#include "sentences/SentenceBounds.h"

#include "sentences/SpokenText.h"

#include <algorithm>

namespace folimar::sentences {

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

QStringList sentencesOf(const QString& text) {
    QStringList sentences;
    qsizetype start = 0;
    for (qsizetype period = text.indexOf(QLatin1Char('.')); period != -1;
         period = text.indexOf(QLatin1Char('.'), period + 1)) {
        if (!endsSentence(text, int(period)))
            continue;
        sentences << text.mid(start, period + 1 - start);
        start = period + 1;
    }
    if (start < text.size())
        sentences << text.mid(start);
    return sentences;
}

QString spokenForm(const QString& sentence, bool capsAsSmall) {
    return SpokenText(sentence, capsAsSmall).text();
}

} // namespace folimar::sentences
