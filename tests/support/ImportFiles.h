#pragma once

#include <QFile>
#include <QFont>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QtEndian>

namespace folimar::testing {

// A PDF with a text layer: one page of small lines per entry of `pages` (lines parted by
// "\n"), on pages of 4 by 3 inches.
inline void writeTextPdf(const QString& path, const QStringList& pages) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QSizeF(4, 3), QPageSize::Inch));
    writer.setResolution(72);
    QPainter painter(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(11);
    painter.setFont(font);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        int baseline = 30;
        for (const QString& line : pages[i].split(u'\n')) {
            painter.drawText(20, baseline, line);
            baseline += 16;
        }
    }
}

// A PDF whose pages are only pictures: a scan, without a text layer, or with only a small
// line of text (`footer`) near the foot of each page.
inline void writeScannedPdf(const QString& path, const QList<QImage>& pictures, QSizeF inches,
                            const QString& footer = QString()) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(inches, QPageSize::Inch));
    writer.setResolution(300);
    QPainter painter(&writer);
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        if (i > 0)
            writer.newPage();
        painter.drawImage(QRectF(0, 0, inches.width() * 300, inches.height() * 300), pictures[i]);
        if (!footer.isEmpty()) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSize(6);
            painter.setFont(font);
            painter.drawText(QPointF(300, (inches.height() - 0.5) * 300), footer);
        }
    }
}

// A picture of `size` filled with `colour`.
inline QImage plainPicture(QSize size, QColor colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A TIFF file holding `pictures` one after another: uncompressed RGB, one strip each.
inline bool writeMultiPageTiff(const QString& path, const QList<QImage>& pictures) {
    QByteArray tiff("II*\0\0\0\0\0", 8);
    const auto put16 = [&](quint16 v) { tiff.append(char(v & 0xff)).append(char(v >> 8)); };
    const auto put32 = [&](quint32 v) {
        put16(quint16(v & 0xffff));
        put16(quint16(v >> 16));
    };
    const auto patch32 = [&](qsizetype at, quint32 v) {
        qToLittleEndian(v, reinterpret_cast<uchar*>(tiff.data() + at));
    };
    qsizetype nextPointer = 4; // where the offset of the next picture's entries goes
    for (const QImage& picture : pictures) {
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
        const quint32 data = quint32(tiff.size());
        for (int y = 0; y < rgb.height(); ++y)
            tiff.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
        if (tiff.size() % 2)
            tiff.append('\0');
        const quint32 bits = quint32(tiff.size());
        put16(8), put16(8), put16(8);
        patch32(nextPointer, quint32(tiff.size()));
        const quint32 bytes = quint32(rgb.width() * rgb.height() * 3);
        const struct {
            quint16 tag, type;
            quint32 count, value;
        } entries[] = {{256, 4, 1, quint32(rgb.width())},
                       {257, 4, 1, quint32(rgb.height())},
                       {258, 3, 3, bits},
                       {259, 3, 1, 1},
                       {262, 3, 1, 2},
                       {273, 4, 1, data},
                       {277, 3, 1, 3},
                       {278, 4, 1, quint32(rgb.height())},
                       {279, 4, 1, bytes}};
        put16(quint16(std::size(entries)));
        for (const auto& entry : entries) {
            put16(entry.tag), put16(entry.type), put32(entry.count), put32(entry.value);
        }
        nextPointer = tiff.size();
        put32(0);
    }
    return writeBytes(path, tiff);
}

} // namespace folimar::testing
