#include "recognition/PageTextBuilder.h"

#include <utility>

namespace folimar::recognition {

namespace {

bool isHyphen(QChar c) {
    return c == u'-' || c == QChar(0x00AD) || c == QChar(0x2010);
}

} // namespace

void PageTextBuilder::startParagraph() {
    paragraphStart_ = true;
}

void PageTextBuilder::startLine() {
    lineStart_ = true;
}

// A letter, then a hyphen, as the last word of the line before: a word broken in two.
bool PageTextBuilder::endsHyphenated() const {
    const QString& text = page_.text;
    return text.size() >= 2 && isHyphen(text.back()) && text[text.size() - 2].isLetter();
}

void PageTextBuilder::addWord(const QString& word, const QRect& box) {
    const QString trimmed = word.trimmed();
    if (trimmed.isEmpty())
        return;
    if (!page_.words.isEmpty()) {
        if (paragraphStart_) {
            page_.text += QLatin1String("\n\n");
        } else if (lineStart_ && endsHyphenated() && trimmed.front().isLower()) {
            page_.text.chop(1);
            page_.words.back().length -= 1;
        } else {
            page_.text += u' ';
        }
    }
    page_.words.append({box, qint32(page_.text.size()), qint32(trimmed.size())});
    page_.text += trimmed;
    paragraphStart_ = false;
    lineStart_ = false;
}

PageText PageTextBuilder::take() {
    paragraphStart_ = true;
    lineStart_ = true;
    return std::exchange(page_, PageText());
}

} // namespace folimar::recognition
