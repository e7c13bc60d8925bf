#include "bookexport/ZipWriter.h"

#include <QDateTime>
#include <QIODevice>
#include <QtEndian>
#include <array>
#include <limits>

namespace folimar::bookexport {

namespace {

constexpr quint64 ZipLimit = std::numeric_limits<quint32>::max();
constexpr quint16 Version = 20; // 2.0: stored entries and folders
constexpr quint16 Utf8Names = 1 << 11;

constexpr std::array<quint32, 256> crcTable() {
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void add16(QByteArray& to, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    to.append(bytes, 2);
}

void add32(QByteArray& to, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    to.append(bytes, 4);
}

} // namespace

quint32 crc32Of(const QByteArray& data) {
    static constexpr std::array<quint32, 256> Table = crcTable();
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data)
        crc = Table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

ZipWriter::ZipWriter(QIODevice& device) : device_(device) {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate day = now.date();
    const QTime clock = now.time();
    date_ = quint16(((std::max(day.year(), 1980) - 1980) << 9) | (day.month() << 5) | day.day());
    time_ = quint16((clock.hour() << 11) | (clock.minute() << 5) | (clock.second() / 2));
}

bool ZipWriter::put(const QByteArray& bytes) {
    if (device_.write(bytes) != bytes.size())
        return false;
    written_ += quint64(bytes.size());
    return true;
}

bool ZipWriter::add(const QString& path, const QByteArray& data) {
    const Entry entry{path.toUtf8(), crc32Of(data), quint32(data.size()), quint32(written_)};
    if (written_ + 30 + quint64(entry.name.size()) + quint64(data.size()) > ZipLimit)
        return false;
    QByteArray header;
    add32(header, 0x04034b50);
    add16(header, Version);
    add16(header, Utf8Names);
    add16(header, 0); // stored
    add16(header, time_);
    add16(header, date_);
    add32(header, entry.crc);
    add32(header, entry.size); // packed
    add32(header, entry.size);
    add16(header, quint16(entry.name.size()));
    add16(header, 0); // no extra field
    header += entry.name;
    if (!put(header) || !put(data))
        return false;
    entries_.append(entry);
    return true;
}

bool ZipWriter::finish() {
    QByteArray directory;
    for (const Entry& entry : entries_) {
        add32(directory, 0x02014b50);
        add16(directory, Version); // made by: MS-DOS attributes
        add16(directory, Version);
        add16(directory, Utf8Names);
        add16(directory, 0);
        add16(directory, time_);
        add16(directory, date_);
        add32(directory, entry.crc);
        add32(directory, entry.size);
        add32(directory, entry.size);
        add16(directory, quint16(entry.name.size()));
        add16(directory, 0); // extra field
        add16(directory, 0); // comment
        add16(directory, 0); // disk
        add16(directory, 0); // internal attributes
        add32(directory, 0); // external attributes
        add32(directory, entry.offset);
        directory += entry.name;
    }
    if (written_ + quint64(directory.size()) > ZipLimit || entries_.size() > 0xFFFF)
        return false;
    const quint32 start = quint32(written_);
    QByteArray end;
    add32(end, 0x06054b50);
    add16(end, 0);
    add16(end, 0);
    add16(end, quint16(entries_.size()));
    add16(end, quint16(entries_.size()));
    add32(end, quint32(directory.size()));
    add32(end, start);
    add16(end, 0); // comment
    return put(directory) && put(end);
}

} // namespace folimar::bookexport
