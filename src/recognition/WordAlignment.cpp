#include "recognition/WordAlignment.h"

#include "recognition/CommonRun.h"

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

// The boxes of each recognised word, the boxes whose place starts inside it, with their
// confidence.
struct Found {
    QList<QRect> boxes;
    qint32 confidence = WordBox::UnknownConfidence;
};

QList<Found> boxesOf(const QList<Token>& tokens, const QList<WordBox>& words) {
    QList<Found> found(tokens.size());
    qsizetype t = 0;
    for (const WordBox& word : words) {
        while (t < tokens.size() && tokens[t].offset + tokens[t].length <= word.offset)
            ++t;
        if (t == tokens.size())
            break;
        if (word.offset < tokens[t].offset)
            continue;
        Found& token = found[t];
        if (token.boxes.isEmpty() || word.confidence == WordBox::UnknownConfidence)
            token.confidence = word.confidence;
        else if (token.confidence != WordBox::UnknownConfidence)
            token.confidence = std::min(token.confidence, word.confidence);
        token.boxes.append(word.box);
    }
    return found;
}

// Past this many steps the texts are taken as too unlike to mark: the search runs on the
// window thread and stays within some tens of milliseconds whatever the texts.
constexpr long long MaxAlignmentSteps = 5'000'000;

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
    const QList<Found> found = boxesOf(read, recognised.words);

    // At least half of the words on each side must match, or the texts are not one page.
    const int total = int(read.size() + now.size());
    QList<PlacedWord> placed;
    const auto pairs = longestCommonRun(readIds, nowIds, total / 2, MaxAlignmentSteps);
    if (!pairs)
        return placed;
    for (const auto& [r, t] : *pairs) {
        if (!found[r].boxes.isEmpty())
            placed.append({now[t].offset, now[t].length, found[r].boxes, found[r].confidence});
    }
    return placed;
}

} // namespace folimar::recognition
