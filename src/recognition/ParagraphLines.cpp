#include "recognition/ParagraphLines.h"

#include "recognition/PageTextBuilder.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace folimar::recognition {

namespace {

// The gap between two lines, from the bottom of the upper to the top of the lower.
int gapBetween(const ReadLine& upper, const ReadLine& lower) {
    return lower.box().top() - upper.box().bottom() - 1;
}

// The usual gap between the lines of one paragraph; none on a page without such lines.
std::optional<int> usualLineGap(const QList<ReadLine>& lines) {
    std::vector<int> gaps;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines[i].startsParagraph)
            gaps.push_back(gapBetween(lines[i - 1], lines[i]));
    }
    if (gaps.empty())
        return std::nullopt;
    auto middle = gaps.begin() + std::ptrdiff_t(gaps.size() / 2);
    std::nth_element(gaps.begin(), middle, gaps.end());
    return *middle;
}

// The right edge of the paragraph that begins at line `first`.
int paragraphRight(const QList<ReadLine>& lines, qsizetype first) {
    int right = lines[first].box().right();
    for (qsizetype i = first + 1; i < lines.size() && !lines[i].startsParagraph; ++i)
        right = std::max(right, lines[i].box().right());
    return right;
}

} // namespace

QRect ReadLine::box() const {
    QRect all;
    for (const ReadWord& word : words)
        all |= word.box;
    return all;
}

void keepShortLastLines(QList<ReadLine>& lines) {
    const std::optional<int> usual = usualLineGap(lines);
    if (!usual)
        return;
    // A gap may wander by a few pixels, or a third of a line gap, and stay a line gap.
    const int lineGapMost = *usual + std::max(3, *usual / 3);
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const ReadLine& line = lines[i];
        if (!line.startsParagraph || lines[i + 1].startsParagraph || line.words.isEmpty())
            continue;
        const QRect box = line.box();
        const int right = paragraphRight(lines, i);
        const int width = right - std::min(box.left(), lines[i + 1].box().left());
        const bool isShort = right - box.right() > width / 4;
        // Below the line above, in the same column.
        const QRect above = lines[i - 1].box();
        const int gap = gapBetween(lines[i - 1], line);
        const bool sameColumn = box.left() <= above.right() && above.left() <= box.right();
        if (isShort && sameColumn && gap >= 0 && gap <= lineGapMost) {
            lines[i].startsParagraph = false;
            lines[i + 1].startsParagraph = true;
        }
    }
}

PageText layOutLines(const QList<ReadLine>& lines) {
    PageTextBuilder builder;
    for (const ReadLine& line : lines) {
        if (line.startsParagraph)
            builder.startParagraph();
        else
            builder.startLine();
        for (const ReadWord& word : line.words)
            builder.addWord(word.text, word.box, word.confidence);
    }
    return builder.take();
}

} // namespace folimar::recognition
