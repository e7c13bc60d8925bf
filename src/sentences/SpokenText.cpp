#include "sentences/SpokenText.h"

#include <algorithm>

namespace folimar::sentences {

SpokenText::SpokenText(const QString& sentence, bool capsAsSmall)
    : sentenceLength_(int(sentence.size())) {
    if (!capsAsSmall) {
        text_ = sentence;
        return;
    }
    text_.reserve(sentence.size());
    source_.reserve(sentence.size());
    for (int i = 0; i < sentence.size();) {
        // A character outside the basic plane is lower-cased whole, both of its halves.
        const int width = sentence.at(i).isHighSurrogate() && i + 1 < sentence.size() ? 2 : 1;
        const QString lower = sentence.mid(i, width).toLower();
        text_ += lower;
        for (qsizetype k = 0; k < lower.size(); ++k)
            source_.append(i);
        i += width;
    }
}

std::optional<SpokenText::Range> SpokenText::inSentence(int offset, int length) const {
    const int spokenLength = int(text_.size());
    if (offset < 0 || length <= 0 || offset >= spokenLength)
        return std::nullopt;
    const int after = int(std::min<qint64>(qint64(offset) + length, spokenLength));
    if (source_.isEmpty())
        return Range{offset, after - offset};
    const int start = source_.at(offset);
    // The word ends where the next sentence character begins: a word that ends inside what
    // one sentence character became takes all of that character.
    const int last = source_.at(after - 1);
    int end = sentenceLength_;
    for (int k = after; k < spokenLength; ++k) {
        if (source_.at(k) != last) {
            end = source_.at(k);
            break;
        }
    }
    return Range{start, end - start};
}

} // namespace folimar::sentences
