#include "bookexport/PictureWords.h"

#include "recognition/WordAlignment.h"
#include "recognition/WordBoxBlob.h"

#include <QHash>
#include <QStringList>
#include <cmath>

namespace folimar::bookexport {

namespace {

// The word's letters parted between its boxes in proportion to their widths.
void addParted(QList<WordOnPicture>& words, const QString& word, const QList<QRect>& boxes) {
    double totalWidth = 0;
    for (const QRect& box : boxes)
        totalWidth += box.width();
    qsizetype from = 0;
    double widthBefore = 0;
    for (qsizetype b = 0; b < boxes.size(); ++b) {
        widthBefore += boxes[b].width();
        const qsizetype to = b + 1 == boxes.size()
                                 ? word.size()
                                 : qsizetype(std::lround(word.size() * widthBefore / totalWidth));
        if (to > from)
            words.append({word.mid(from, to - from), QRectF(boxes[b])});
        from = std::max(from, to);
    }
}

// A narrow place just right of `before`, on its line.
QRectF placeAfter(const QRectF& before, qsizetype letters) {
    const double width = before.height() * 0.5 * double(letters);
    return {before.right() + before.height() * 0.3, before.top(), width, before.height()};
}

} // namespace

QList<WordOnPicture> wordsOnPicture(const QString& text, const QByteArray& wordBoxes,
                                    const QSize& size) {
    std::optional<recognition::PageText> page = recognition::decodeWordBoxes(wordBoxes);
    if (!page)
        return {};
    recognition::keepWordsOnPicture(*page, size);
    const QList<recognition::PlacedWord> placed = recognition::placeWords(text, *page);
    if (placed.isEmpty())
        return {};
    QHash<qint32, const recognition::PlacedWord*> byOffset;
    for (const recognition::PlacedWord& word : placed)
        byOffset.insert(word.offset, &word);
    QList<WordOnPicture> words;
    QStringList waiting; // words without a place before the first that has one
    for (qsizetype start = 0; start < text.size();) {
        if (text[start].isSpace()) {
            ++start;
            continue;
        }
        qsizetype end = start;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        const recognition::PlacedWord* word = byOffset.value(qint32(start));
        const QString letters = text.mid(start, end - start);
        start = end;
        if (word) {
            addParted(words, text.mid(word->offset, word->length), word->boxes);
            // Those before any place go just left of the first word placed.
            const QRectF first = words.first().box;
            double right = first.left() - first.height() * 0.3;
            for (qsizetype w = waiting.size() - 1; w >= 0; --w) {
                const double width = first.height() * 0.5 * double(waiting[w].size());
                words.prepend(
                    {waiting[w], QRectF(right - width, first.top(), width, first.height())});
                right -= width + first.height() * 0.3;
            }
            waiting.clear();
        } else if (words.isEmpty()) {
            waiting.append(letters);
        } else {
            words.append({letters, placeAfter(words.last().box, letters.size())});
        }
    }
    return words;
}

} // namespace folimar::bookexport
