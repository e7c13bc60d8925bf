#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

namespace folimar::bookexport {

// A zip archive written entry by entry onto a device, each entry stored as it is (the
// form an EPUB's first entry must have; sound and pictures are packed already).
class ZipWriter {
public:
    explicit ZipWriter(QIODevice& device);
    // Adds `path` (forward slashes) with `data`; false when the device fails or the archive
    // would grow past what a plain zip can hold (4 GiB).
    bool add(const QString& path, const QByteArray& data);
    // Writes the archive's directory; the archive is complete after it.
    bool finish();

private:
    struct Entry {
        QByteArray name;
        quint32 crc = 0;
        quint32 size = 0;
        quint32 offset = 0;
    };
    bool put(const QByteArray& bytes);

    QIODevice& device_;
    QList<Entry> entries_;
    quint64 written_ = 0;
    quint16 time_ = 0; // MS-DOS form of the time the archive was begun
    quint16 date_ = 0;
};

// The CRC-32 of zip files and PNG.
quint32 crc32Of(const QByteArray& data);

} // namespace folimar::bookexport
