#include "recognition/WordAlignment.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace folimar::recognition {

namespace {

struct Token {
    qint32 offset = 0;
    qint32 length = 0;
};

QList<Token> tokensOf(const QString& text) {
    QList<Token> tokens;
    qint32 start = -1;
    for (qint32 i = 0; i <= text.size(); ++i) {
        const bool space = i == text.size() || text[i].isSpace();
        if (!space && start < 0) {
            start = i;
        } else if (space && start >= 0) {
            tokens.append({start, i - start});
            start = -1;
        }
    }
    return tokens;
}

// Each word of both texts as a number, equal numbers for equal words.
std::vector<int> numbered(const QString& text, const QList<Token>& tokens,
                          QHash<QStringView, int>& numbers) {
    std::vector<int> ids;
    ids.reserve(std::size_t(tokens.size()));
    for (const Token& token : tokens) {
        const QStringView word = QStringView(text).mid(token.offset, token.length);
        auto known = numbers.constFind(word);
        if (known == numbers.cend())
            known = numbers.insert(word, int(numbers.size()));
        ids.push_back(known.value());
    }
    return ids;
}

// The boxes of each recognised word: the boxes whose place starts inside it.
QList<QList<QRect>> boxesOf(const QList<Token>& tokens, const QList<WordBox>& words) {
    QList<QList<QRect>> boxes(tokens.size());
    qsizetype t = 0;
    for (const WordBox& word : words) {
        while (t < tokens.size() && tokens[t].offset + tokens[t].length <= word.offset)
            ++t;
        if (t == tokens.size())
            break;
        if (word.offset >= tokens[t].offset)
            boxes[t].append(word.box);
    }
    return boxes;
}

// The pairs (a, b) of equal words in a longest common run of `a` and `b`, by the greedy
// shortest-edit search; none when more than `maxEdits` words differ.
std::vector<std::pair<int, int>> matchedPairs(const std::vector<int>& a, const std::vector<int>& b,
                                              int maxEdits) {
    std::vector<std::pair<int, int>> pairs;
    const int n = int(a.size());
    const int m = int(b.size());
    int prefix = 0;
    while (prefix < n && prefix < m && a[std::size_t(prefix)] == b[std::size_t(prefix)])
        pairs.emplace_back(prefix, prefix), ++prefix;
    int suffix = 0;
    while (suffix < n - prefix && suffix < m - prefix &&
           a[std::size_t(n - 1 - suffix)] == b[std::size_t(m - 1 - suffix)])
        ++suffix;
    const int rows = n - prefix - suffix;
    const int columns = m - prefix - suffix;
    const auto same = [&](int x, int y) {
        return a[std::size_t(prefix + x)] == b[std::size_t(prefix + y)];
    };

    // v[k + origin]: the furthest x reached on diagonal k = x - y; trace[d]: v after d edits.
    const int limit = std::min(maxEdits, rows + columns);
    const int origin = limit + 1;
    std::vector<int> v(std::size_t(2 * limit + 3), 0);
    std::vector<std::vector<int>> trace;
    int edits = -1;
    for (int d = 0; d <= limit && edits < 0; ++d) {
        for (int k = -d; k <= d; k += 2) {
            const std::size_t at = std::size_t(k + origin);
            int x = (k == -d || (k != d && v[at - 1] < v[at + 1])) ? v[at + 1] : v[at - 1] + 1;
            int y = x - k;
            while (x < rows && y < columns && same(x, y))
                ++x, ++y;
            v[at] = x;
            if (x >= rows && y >= columns)
                edits = d;
        }
        trace.emplace_back(v.begin() + (origin - d), v.begin() + (origin + d + 1));
    }
    if (edits < 0)
        return {};

    std::vector<std::pair<int, int>> middle;
    int x = rows;
    int y = columns;
    for (int d = edits; d > 0; --d) {
        const std::vector<int>& before = trace[std::size_t(d - 1)];
        const auto reached = [&](int k) { return before[std::size_t(k + d - 1)]; };
        const int k = x - y;
        const int previousK =
            (k == -d || (k != d && reached(k - 1) < reached(k + 1))) ? k + 1 : k - 1;
        const int previousX = reached(previousK);
        const int previousY = previousX - previousK;
        while (x > previousX && y > previousY)
            middle.emplace_back(--x, --y);
        x = previousX;
        y = previousY;
    }
    while (x > 0 && y > 0)
        middle.emplace_back(--x, --y);
    std::reverse(middle.begin(), middle.end());
    for (const auto& [ax, by] : middle)
        pairs.emplace_back(prefix + ax, prefix + by);
    for (int i = 0; i < suffix; ++i)
        pairs.emplace_back(n - suffix + i, m - suffix + i);
    return pairs;
}

} // namespace

QList<PlacedWord> placeWords(const QString& text, const PageText& recognised) {
    if (recognised.words.isEmpty())
        return {};
    const QString& source = recognised.text.isEmpty() ? text : recognised.text;
    const QList<Token> read = tokensOf(source);
    const QList<Token> now = tokensOf(text);
    QHash<QStringView, int> numbers;
    const std::vector<int> readIds = numbered(source, read, numbers);
    const std::vector<int> nowIds = numbered(text, now, numbers);
    const QList<QList<QRect>> boxes = boxesOf(read, recognised.words);

    // At least half of the words on each side must match, or the texts are not one page.
    const int total = int(read.size() + now.size());
    QList<PlacedWord> placed;
    for (const auto& [r, t] : matchedPairs(readIds, nowIds, total / 2)) {
        if (!boxes[r].isEmpty())
            placed.append({now[t].offset, now[t].length, boxes[r]});
    }
    return placed;
}

} // namespace folimar::recognition
