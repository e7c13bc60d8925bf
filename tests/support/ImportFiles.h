#pragma once

#include <QFile>
#include <QFont>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>

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

// A PDF whose pages are only pictures: a scan, without a text layer.
inline void writeScannedPdf(const QString& path, const QList<QImage>& pictures, QSizeF inches) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(inches, QPageSize::Inch));
    writer.setResolution(300);
    QPainter painter(&writer);
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        if (i > 0)
            writer.newPage();
        painter.drawImage(QRectF(0, 0, inches.width() * 300, inches.height() * 300), pictures[i]);
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

} // namespace folimar::testing
