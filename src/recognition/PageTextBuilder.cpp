#include "recognition/PageTextBuilder.h"

#include <algorithm>
#include <utility>

namespace folimar::recognition {

namespace {

bool isHyphen(QChar c) {
    return c == u'-' || c == QChar(0x00AD) || c == QChar(0x2010);
}

// A list item's mark: a bullet, or a number or a letter ended by "." or ")" ("1.", "12)",
// "(b)").
bool isListMark(const QString& word) {
    static const QString Bullets = QStringLiteral("•·▪‣◦○●■□*–-");
    if (word.size() == 1)
        return Bullets.contains(word.front());
    if (!word.endsWith(u'.') && !word.endsWith(u')'))
        return false;
    QStringView inner = QStringView(word).chopped(1);
    if (word.endsWith(u')') && inner.startsWith(u'('))
        inner = inner.mid(1);
    if (inner.isEmpty() || inner.size() > 3)
        return false;
    const bool number =
        std::all_of(inner.begin(), inner.end(), [](QChar c) { return c.isDigit(); });
    return number || (inner.size() == 1 && inner.front().isLower());
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

void PageTextBuilder::addWord(const QString& word, const QRect& box, qint32 confidence) {
    const QString trimmed = word.trimmed();
    if (trimmed.isEmpty())
        return;
    if (!page_.words.isEmpty()) {
        if (paragraphStart_) {
            page_.text += QLatin1String("\n\n");
        } else if (lineStart_ && isListMark(trimmed)) {
            page_.text += u'\n'; // each item of a list keeps its line
        } else if (lineStart_ && endsHyphenated() && trimmed.front().isLower()) {
            page_.text.chop(1);
            page_.words.back().length -= 1;
        } else {
            page_.text += u' ';
        }
    }
    page_.words.append({box, qint32(page_.text.size()), qint32(trimmed.size()), confidence});
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
