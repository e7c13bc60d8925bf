#include "recognition/WordBoxBlob.h"

#include <QtEndian>
#include <array>
#include <limits>

namespace folimar::recognition {

namespace {

constexpr char Magic[] = {'F', 'W', 'B'};
constexpr char WordsOnly = 1;
constexpr char WordsAndText = 2;
constexpr char WithConfidences = 3;
constexpr qsizetype HeaderSize = 8;
constexpr qsizetype MostFieldsPerWord = 7;

qsizetype wordSizeOf(char version) {
    return (version == WithConfidences ? MostFieldsPerWord : MostFieldsPerWord - 1) * 4;
}

void append32(QByteArray& blob, qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    blob.append(bytes, 4);
}

qint32 read32(const char* at) {
    return qFromLittleEndian<qint32>(at);
}

} // namespace

QByteArray encodeWordBoxes(const PageText& page) {
    QByteArray blob;
    if (page.words.isEmpty())
        return blob;
    blob.reserve(HeaderSize + page.words.size() * wordSizeOf(WithConfidences) + 4 +
                 page.text.size() * 2);
    blob.append(Magic, sizeof Magic);
    blob.append(WithConfidences);
    append32(blob, qint32(page.words.size()));
    for (const WordBox& word : page.words) {
        for (qint32 value : {word.box.x(), word.box.y(), word.box.width(), word.box.height(),
                             word.offset, word.length, word.confidence})
            append32(blob, value);
    }
    append32(blob, qint32(page.text.size()));
    for (const QChar unit : page.text) {
        char bytes[2];
        qToLittleEndian(unit.unicode(), bytes);
        blob.append(bytes, 2);
    }
    return blob;
}

std::optional<PageText> decodeWordBoxes(const QByteArray& blob) {
    if (blob.isEmpty())
        return PageText();
    if (blob.size() < HeaderSize || !blob.startsWith(QByteArrayView(Magic, sizeof Magic)) ||
        (blob[3] != WordsOnly && blob[3] != WordsAndText && blob[3] != WithConfidences))
        return std::nullopt;
    const char version = blob[3];
    const qsizetype wordSize = wordSizeOf(version);
    const qint64 count = read32(blob.constData() + 4);
    const qint64 wordsEnd = HeaderSize + count * wordSize;
    if (count < 0 || blob.size() < wordsEnd)
        return std::nullopt;
    qint64 textLength = 0;
    if (version != WordsOnly) {
        if (blob.size() < wordsEnd + 4)
            return std::nullopt;
        textLength = read32(blob.constData() + wordsEnd);
        if (textLength < 0 || blob.size() != wordsEnd + 4 + textLength * 2)
            return std::nullopt;
    } else if (blob.size() != wordsEnd) {
        return std::nullopt;
    }
    PageText page;
    page.words.reserve(count);
    for (const char* at = blob.constData() + HeaderSize; at < blob.constData() + wordsEnd;
         at += wordSize) {
        std::array<qint32, MostFieldsPerWord> v{};
        v.back() = WordBox::UnknownConfidence;
        for (qsizetype i = 0; i < wordSize / 4; ++i)
            v[std::size_t(i)] = read32(at + 4 * i);
        const qint32 confidence = v[6] >= 0 && v[6] <= 100 ? v[6] : WordBox::UnknownConfidence;
        const bool fits = v[2] > 0 && v[3] > 0 &&
                          qint64(v[0]) + v[2] <= std::numeric_limits<qint32>::max() &&
                          qint64(v[1]) + v[3] <= std::numeric_limits<qint32>::max();
        if (fits)
            page.words.append({QRect(v[0], v[1], v[2], v[3]), v[4], v[5], confidence});
    }
    page.text.reserve(textLength);
    for (const char* at = blob.constData() + wordsEnd + 4; at < blob.constData() + blob.size();
         at += 2)
        page.text.append(QChar(qFromLittleEndian<char16_t>(at)));
    return page;
}

void keepWordsOnPicture(PageText& page, const QSize& size) {
    const QRect picture(QPoint(0, 0), size);
    page.words.removeIf([&](const WordBox& word) { return !picture.contains(word.box); });
}

} // namespace folimar::recognition
