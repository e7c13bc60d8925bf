#include "recognition/WordBoxBlob.h"

#include <QtEndian>
#include <array>

namespace folimar::recognition {

namespace {

constexpr char Magic[] = {'F', 'W', 'B'};
constexpr char Version = 1;
constexpr qsizetype HeaderSize = 8;
constexpr qsizetype FieldsPerWord = 6;
constexpr qsizetype WordSize = FieldsPerWord * 4;

void append32(QByteArray& blob, qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    blob.append(bytes, 4);
}

qint32 read32(const char* at) {
    return qFromLittleEndian<qint32>(at);
}

} // namespace

QByteArray encodeWordBoxes(const QList<WordBox>& words) {
    QByteArray blob;
    if (words.isEmpty())
        return blob;
    blob.reserve(HeaderSize + words.size() * WordSize);
    blob.append(Magic, sizeof Magic);
    blob.append(Version);
    append32(blob, qint32(words.size()));
    for (const WordBox& word : words) {
        for (qint32 value : {word.box.x(), word.box.y(), word.box.width(), word.box.height(),
                             word.offset, word.length})
            append32(blob, value);
    }
    return blob;
}

std::optional<QList<WordBox>> decodeWordBoxes(const QByteArray& blob) {
    if (blob.isEmpty())
        return QList<WordBox>();
    if (blob.size() < HeaderSize || !blob.startsWith(QByteArrayView(Magic, sizeof Magic)) ||
        blob[3] != Version)
        return std::nullopt;
    const qint64 count = read32(blob.constData() + 4);
    if (count < 0 || blob.size() != HeaderSize + count * WordSize)
        return std::nullopt;
    QList<WordBox> words;
    words.reserve(count);
    for (const char* at = blob.constData() + HeaderSize; at < blob.constData() + blob.size();
         at += WordSize) {
        std::array<qint32, FieldsPerWord> v{};
        for (qsizetype i = 0; i < FieldsPerWord; ++i)
            v[std::size_t(i)] = read32(at + 4 * i);
        words.append({QRect(v[0], v[1], v[2], v[3]), v[4], v[5]});
    }
    return words;
}

} // namespace folimar::recognition
