#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRandomGenerator>
#include <QStringList>
#include <QTransform>
#include <cmath>

namespace folimar::testing {

// A scanned page made by the test: lines of text drawn at 300 dpi, turned slightly as a
// page lies on a scanner, with specks of noise. Paragraphs are parted by an empty line.
struct TestPage {
    QImage image;
    QString text;                        // the text as it reads: paragraphs parted by a blank line
    QList<QPair<QString, QRectF>> words; // each drawn word and where it lies on the image
};

inline TestPage makeTestPage(const QStringList& lines, QSize size, double degrees = 0.4,
                             int pointSize = 12, quint32 seed = 7) {
    constexpr int DotsPerMetre = 11811; // 300 dpi
    TestPage page;
    page.image = QImage(size, QImage::Format_RGB32);
    page.image.setDotsPerMeterX(DotsPerMetre);
    page.image.setDotsPerMeterY(DotsPerMetre);
    page.image.fill(Qt::white);
    QTransform turn;
    turn.translate(size.width() / 2.0, size.height() / 2.0)
        .rotate(degrees)
        .translate(-size.width() / 2.0, -size.height() / 2.0);
    {
        QPainter painter(&page.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setTransform(turn);
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(pointSize);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QFontMetricsF metrics(font, &page.image);
        const double margin = size.width() / 12.0;
        double baseline = margin + metrics.ascent();
        QString paragraph;
        for (const QString& line : lines) {
            if (line.isEmpty()) {
                if (!paragraph.isEmpty())
                    page.text += paragraph + QStringLiteral("\n\n");
                paragraph.clear();
            } else {
                painter.drawText(QPointF(margin, baseline), line);
                double x = margin;
                for (const QString& word : line.split(u' ', Qt::SkipEmptyParts)) {
                    const QRectF drawn(x, baseline - metrics.ascent(),
                                       metrics.horizontalAdvance(word), metrics.height());
                    page.words.append({word, turn.mapRect(drawn)});
                    x += metrics.horizontalAdvance(word + u' ');
                }
                if (paragraph.endsWith(u'-'))
                    paragraph.chop(1);
                else if (!paragraph.isEmpty())
                    paragraph += u' ';
                paragraph += line;
            }
            baseline += metrics.lineSpacing();
        }
        if (!paragraph.isEmpty())
            page.text += paragraph;
        else
            page.text.chop(2);
    }
    QRandomGenerator noise(seed);
    const qint64 specks = qint64(size.width()) * size.height() / 400;
    for (qint64 i = 0; i < specks; ++i) {
        const int grey = noise.bounded(256);
        page.image.setPixel(noise.bounded(size.width()), noise.bounded(size.height()),
                            qRgb(grey, grey, grey));
    }
    return page;
}

// A phone photo of the page: paper tinted yellow, the light falling off towards one corner
// to a third of its strength.
inline QImage photographed(const QImage& page) {
    QImage photo = page.convertToFormat(QImage::Format_RGB32);
    const double diagonal = std::hypot(photo.width(), photo.height());
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const double light = 1.0 - 0.65 * std::hypot(x, y) / diagonal;
            const int grey = qGray(line[x]);
            line[x] = qRgb(int(grey * 0.96 * light), int(grey * 0.90 * light),
                           int(grey * 0.74 * light));
        }
    }
    return photo;
}

// A phone photo of the page taken at an angle: the page laid on a dark, grainy table in a
// picture of `canvas` size, its corners at `corners` (top left, top right, bottom right,
// bottom left), its words' places carried along; then tinted with the light falling off.
inline TestPage photographedAtAngle(const TestPage& page, QSize canvas, const QPolygonF& corners) {
    const QRectF sheet(page.image.rect());
    QTransform onTable;
    QTransform::quadToQuad(
        QPolygonF({sheet.topLeft(), sheet.topRight(), sheet.bottomRight(), sheet.bottomLeft()}),
        corners, onTable);
    TestPage photo{QImage(canvas, QImage::Format_RGB32), page.text, {}};
    photo.image.setDotsPerMeterX(page.image.dotsPerMeterX());
    photo.image.setDotsPerMeterY(page.image.dotsPerMeterY());
    QRandomGenerator grain(11);
    for (int y = 0; y < canvas.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.image.scanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            const int wood = 60 + grain.bounded(-12, 13);
            line[x] = qRgb(wood, wood * 4 / 5, wood * 3 / 5);
        }
    }
    {
        QPainter painter(&photo.image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(onTable);
        painter.drawImage(0, 0, page.image);
    }
    for (const auto& [word, place] : page.words)
        photo.words.append({word, onTable.mapRect(place)});
    photo.image = photographed(photo.image);
    return photo;
}

// The share of characters to change, insert or delete to turn `read` into `expected`.
inline double characterErrorRate(const QString& expected, const QString& read) {
    QList<int> previous(read.size() + 1);
    QList<int> current(read.size() + 1);
    for (int j = 0; j <= read.size(); ++j)
        previous[j] = j;
    for (int i = 1; i <= expected.size(); ++i) {
        current[0] = i;
        for (int j = 1; j <= read.size(); ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1,
                                   previous[j - 1] + (expected[i - 1] == read[j - 1] ? 0 : 1)});
        std::swap(previous, current);
    }
    return expected.isEmpty() ? (read.isEmpty() ? 0.0 : 1.0)
                              : double(previous[read.size()]) / double(expected.size());
}

} // namespace folimar::testing
