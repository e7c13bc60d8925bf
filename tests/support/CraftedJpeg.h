#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QSize>

namespace folimar::testing {

// `image` as the bytes of a JPEG file, at `quality` (-1: the writer's default).
inline QByteArray jpegBytes(const QImage& image, int quality = -1, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// A small JPEG whose frame header claims `claimed`, as a crafted file of a few kilobytes
// does: the data ends long before such a picture would.
inline QByteArray jpegClaiming(QSize claimed, bool progressive) {
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(qRgb(190, 60, 40));
    QByteArray bytes = jpegBytes(image, -1, progressive);
    const qsizetype frame = bytes.indexOf(progressive ? "\xff\xc2" : "\xff\xc0");
    bytes[frame + 5] = char(claimed.height() >> 8);
    bytes[frame + 6] = char(claimed.height() & 0xff);
    bytes[frame + 7] = char(claimed.width() >> 8);
    bytes[frame + 8] = char(claimed.width() & 0xff);
    return bytes;
}

} // namespace folimar::testing
