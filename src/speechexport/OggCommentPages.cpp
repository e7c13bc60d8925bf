#include "speechexport/OggCommentPages.h"

#include <QtEndian>
#include <array>

namespace folimar::speechexport {

namespace {

constexpr qsizetype PageHeaderSize = 27; // before the table of segment sizes
constexpr qsizetype SequenceAt = 18;
constexpr qsizetype ChecksumAt = 22;
// More than the comments of the longest book take: a stream whose comment header does not
// end within this many bytes is not one to rewrite.
constexpr qsizetype MostHeadBytes = 64 << 20;
constexpr qsizetype SegmentCountAt = 26;

std::array<quint32, 256> checksumTable() {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 r = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            r = (r & 0x80000000U) ? (r << 1) ^ 0x04c11db7U : r << 1;
        table[i] = r;
    }
    return table;
}

quint32 le32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

void putLe32(QByteArray& bytes, quint32 value) {
    char little[4];
    qToLittleEndian(value, little);
    bytes.append(little, 4);
}

} // namespace

quint32 oggChecksum(const QByteArray& page) {
    static const std::array<quint32, 256> table = checksumTable();
    quint32 crc = 0;
    for (qsizetype i = 0; i < page.size(); ++i) {
        const auto byte = quint8(i >= ChecksumAt && i < ChecksumAt + 4 ? 0 : page[i]);
        crc = (crc << 8) ^ table[((crc >> 24) & 0xff) ^ byte];
    }
    return crc;
}

bool OggCommentPages::take(const QByteArray& bytes) {
    if (complete_)
        return true;
    if (head_.size() > MostHeadBytes)
        return false;
    head_.append(bytes);
    pages_.clear();
    qsizetype at = 0;
    while (at + PageHeaderSize <= head_.size()) {
        if (!head_.mid(at).startsWith("OggS"))
            return false;
        const int segments = quint8(head_[at + SegmentCountAt]);
        const qsizetype bodyStart = at + PageHeaderSize + segments;
        if (bodyStart > head_.size())
            return false;
        qsizetype bodySize = 0;
        for (int i = 0; i < segments; ++i)
            bodySize += quint8(head_[at + PageHeaderSize + i]);
        if (bodyStart + bodySize > head_.size())
            return false;
        // The identification header is page 0; the comments follow from page 1 until a
        // page whose last segment is shorter than the largest ends their packet.
        if (le32(head_, at + SequenceAt) >= 1) {
            pages_.append({at, bodyStart, bodySize});
            if (segments > 0 && quint8(head_[bodyStart - 1]) < 255) {
                complete_ = true;
                head_.truncate(bodyStart + bodySize);
                return true;
            }
        }
        at = bodyStart + bodySize;
    }
    return false;
}

std::optional<QList<OggCommentPages::Page>>
OggCommentPages::withValues(const QHash<QByteArray, QByteArray>& values) const {
    if (!complete_)
        return std::nullopt;
    QByteArray packet;
    for (const PageSpan& page : pages_)
        packet.append(head_.mid(page.bodyStart, page.bodySize));
    // "OpusTags", the vendor's name, the number of comments, then each comment.
    if (!packet.startsWith("OpusTags") || packet.size() < 16)
        return std::nullopt;
    qsizetype at = 8;
    const quint32 vendorSize = le32(packet, at);
    if (vendorSize > quint32(packet.size() - 16))
        return std::nullopt;
    at += 4 + qsizetype(vendorSize);
    const quint32 count = le32(packet, at);
    at += 4;
    QByteArray rewritten = packet.left(at);
    for (quint32 i = 0; i < count; ++i) {
        if (at + 4 > packet.size())
            return std::nullopt;
        const quint32 size = le32(packet, at);
        if (size > quint32(packet.size() - at - 4))
            return std::nullopt;
        QByteArray comment = packet.mid(at + 4, size);
        at += 4 + qsizetype(size);
        const qsizetype equals = comment.indexOf('=');
        const QByteArray key = comment.left(equals);
        if (equals > 0 && values.contains(key))
            comment = key + '=' + values.value(key);
        putLe32(rewritten, quint32(comment.size()));
        rewritten.append(comment);
    }
    if (rewritten.size() > packet.size())
        return std::nullopt;
    // What follows the comments is padding, zeros that readers pass over.
    rewritten.append(QByteArray(packet.size() - rewritten.size(), '\0'));

    QList<Page> pages;
    qsizetype used = 0;
    for (const PageSpan& span : pages_) {
        QByteArray page = head_.mid(span.start, span.bodyStart + span.bodySize - span.start);
        page.replace(span.bodyStart - span.start, span.bodySize,
                     rewritten.mid(used, span.bodySize));
        used += span.bodySize;
        char checksum[4];
        qToLittleEndian(oggChecksum(page), checksum);
        page.replace(ChecksumAt, 4, checksum, 4);
        pages.append({qint64(span.start), page});
    }
    return pages;
}

} // namespace folimar::speechexport
