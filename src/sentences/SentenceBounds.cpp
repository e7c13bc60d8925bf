#include "sentences/SentenceBounds.h"

#include "sentences/SpokenText.h"

#include <algorithm>

namespace folimar::sentences {

namespace {

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c.isMark();
}

// Apostrophes and hyphens between letters belong to the word ("don't", "well-known").
bool isInWord(const QString& text, int i) {
    if (i < 0 || i >= text.size())
        return false;
    if (isWordCharacter(text[i]))
        return true;
    const QChar c = text[i];
    const bool joiner = c == QLatin1Char('\'') || c == QChar(0x2019) || c == QLatin1Char('-');
    return joiner && i > 0 && i + 1 < text.size() && isWordCharacter(text[i - 1]) &&
           isWordCharacter(text[i + 1]);
}

} // namespace

int previousSentenceStart(const QString& text, int start, SentenceEnds rule) {
    // start - 1 is the end of the sentence before: the one wanted starts after the last end
    // before that.
    const int limit = std::min(start, int(text.size())) - 2;
    int found = 0;
    for (int end = nextSentenceEnd(text, 0, rule); end != -1 && end <= limit;
         end = nextSentenceEnd(text, end + 1, rule))
        found = end + 1;
    return found;
}

QStringList sentencesOf(const QString& text, SentenceEnds rule) {
    QStringList sentences;
    int start = 0;
    for (int end = nextSentenceEnd(text, 0, rule); end != -1;
         end = nextSentenceEnd(text, end + 1, rule)) {
        sentences << text.mid(start, end + 1 - start);
        start = end + 1;
    }
    if (start < text.size())
        sentences << text.mid(start);
    return sentences;
}

int wordStartAt(const QString& text, int position) {
    if (position <= 0 || !isInWord(text, position) || !isInWord(text, position - 1))
        return position;
    while (position > 0 && isInWord(text, position - 1))
        --position;
    return position;
}

QString spokenForm(const QString& sentence, bool capsAsSmall) {
    return SpokenText(sentence, capsAsSmall).text();
}

} // namespace folimar::sentences
