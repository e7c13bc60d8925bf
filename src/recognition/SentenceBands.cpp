#include "recognition/SentenceBands.h"

#include <algorithm>

namespace folimar::recognition {

namespace {

// A box goes on with the line before when it stands to the right of the last box and
// shares at least half of the lower one's height with it.
bool continuesLine(const QRect& last, const QRect& box) {
    const int shared = std::min(last.bottom(), box.bottom()) - std::max(last.top(), box.top()) + 1;
    return box.left() >= last.left() && 2 * shared >= std::min(last.height(), box.height());
}

} // namespace

QList<QRect> sentenceBands(const QList<PlacedWord>& words, qint32 start, qint32 end) {
    QList<QRect> bands;
    QRect last;
    auto word = std::partition_point(words.begin(), words.end(), [start](const PlacedWord& w) {
        return w.offset + w.length <= start;
    });
    for (; word != words.end() && word->offset < end; ++word) {
        for (const QRect& box : word->boxes) {
            if (!bands.isEmpty() && continuesLine(last, box))
                bands.back() = bands.back().united(box);
            else
                bands.append(box);
            last = box;
        }
    }
    return bands;
}

qsizetype wordAt(const QList<PlacedWord>& words, const QPoint& point) {
    const auto hit = std::find_if(words.begin(), words.end(), [&](const PlacedWord& word) {
        return std::any_of(word.boxes.begin(), word.boxes.end(),
                           [&](const QRect& box) { return box.contains(point); });
    });
    return hit == words.end() ? -1 : hit - words.begin();
}

} // namespace folimar::recognition
