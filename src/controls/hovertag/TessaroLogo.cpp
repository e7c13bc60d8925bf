#include "controls/hovertag/TessaroLogo.h"

#include <QPainter>
#include <QPainterPath>

namespace folimar::controls {

TessaroLogo::TessaroLogo(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("imgLogo"));
    setFixedSize(sizeHint());
}

void TessaroLogo::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile = QRectF(rect()).adjusted(2, 2, -2, -2);

    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0, QColor(40, 90, 200));
    fill.setColorAt(1, QColor(20, 40, 120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(tile, 12, 12);

    QFont letter = font();
    letter.setBold(true);
    letter.setPixelSize(int(tile.height() * 0.6));
    painter.setFont(letter);
    painter.setPen(Qt::white);
    painter.drawText(tile.adjusted(0, 0, 0, -tile.height() * 0.15), Qt::AlignCenter,
                     QStringLiteral("T"));

    painter.setPen(QPen(QColor(255, 80, 60), 3, Qt::SolidLine, Qt::RoundCap));
    const qreal y = tile.bottom() - tile.height() * 0.18;
    painter.drawLine(QPointF(tile.left() + tile.width() * 0.25, y),
                     QPointF(tile.right() - tile.width() * 0.25, y));
}

} // namespace folimar::controls
