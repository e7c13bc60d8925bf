#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

namespace folimar::testing {

// An A4 page scanned at 600 dpi (4960 x 7016): a grey frame and a bar on white, as a JPEG
// of a few hundred kilobytes that decodes to 139 MB.
inline QByteArray a4At600DpiJpeg() {
    QImage page(4960, 7016, QImage::Format_Grayscale8);
    page.fill(255);
    {
        QPainter painter(&page);
        painter.setPen(QPen(Qt::gray, 40));
        painter.drawRect(300, 300, 4360, 6416);
        painter.fillRect(600, 800, 3000, 200, Qt::black);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(50);
    writer.write(page);
    return bytes;
}

// The header of a 24-bit BMP that says it is `size` large; the pixels never come.
inline QByteArray bitmapHeaderOnly(QSize size) {
    QByteArray header(54, '\0');
    auto put32 = [&header](int at, qint32 value) { qToLittleEndian(value, header.data() + at); };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, size.width());
    put32(22, size.height());
    qToLittleEndian<quint16>(1, header.data() + 26);
    qToLittleEndian<quint16>(24, header.data() + 28);
    return header;
}

// A JPEG with an EXIF block saying how to turn it upright (6: a quarter turn clockwise),
// as a phone camera writes it.
inline QByteArray withExifOrientation(const QByteArray& jpeg, quint16 orientation) {
    QByteArray tiff("II*\0", 4);
    // The first directory at offset 8 holds one entry: the orientation, one short.
    tiff += QByteArray::fromHex("08000000"
                                "0100"
                                "1201030001000000");
    tiff += char(orientation & 0xff);
    tiff += char(orientation >> 8);
    tiff += QByteArray::fromHex("000000000000"); // the short's padding; no next directory
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment = QByteArray::fromHex("ffe1");
    segment += char((body.size() + 2) >> 8);
    segment += char((body.size() + 2) & 0xff);
    return jpeg.left(2) + segment + body + jpeg.mid(2);
}

} // namespace folimar::testing
