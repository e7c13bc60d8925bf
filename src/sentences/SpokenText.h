#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace folimar::sentences {

// A sentence as it goes to the character, with the way back from the spoken text to the
// sentence: lower-casing (the Caps-as-small rule) can make a text longer ("İ" becomes
// "i" and a combining dot), so positions of the voice's words are mapped, never taken
// as they are.
class SpokenText {
public:
    SpokenText(const QString& sentence, bool capsAsSmall);

    const QString& text() const { return text_; }

    // A word of the spoken text as a start and length in the sentence; nothing when the
    // word does not lie within the spoken text.
    struct Range {
        int start = 0;
        int length = 0;
    };
    std::optional<Range> inSentence(int offset, int length) const;

private:
    QString text_;
    QList<int> source_; // for each character of text_, its index in the sentence
    int sentenceLength_ = 0;
};

} // namespace folimar::sentences
