#include "platform/character/CharacterStage.h"

#include <QApplication>
#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace folimar::character {

namespace {

int shiftBits(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

int buttonBit(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

CharacterStage::CharacterStage(const CharacterArt& art, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool), art_(art),
      player_(art) {
    setObjectName(QStringLiteral("CharacterStage"));
    setWindowTitle(art.name);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(art.size);
    connect(&player_, &AnimationPlayer::frameChanged, this, [this] {
        updateShape();
        update();
    });
}

// The window takes the outline of the shown frame, so the character stands free of any
// box also on desktops without a compositor, where translucency shows as black.
void CharacterStage::updateShape() {
    if (player_.frame().isEmpty())
        return;
    QBitmap shape = picture(player_.frame()).mask();
    if (shape.isNull())
        return;
    if (shape.size() != size()) // a high-density screen's picture
        shape = QBitmap::fromPixmap(shape.scaled(size()));
    setMask(shape);
}

const QPixmap& CharacterStage::picture(const QString& frame) {
    auto found = pictures_.find(frame);
    if (found != pictures_.end())
        return *found;
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& layer : art_.frames.value(frame))
        layer->render(&painter, QRectF(QPointF(0, 0), QSizeF(size())));
    return *pictures_.insert(frame, pixmap);
}

void CharacterStage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!player_.frame().isEmpty())
        painter.drawPixmap(0, 0, picture(player_.frame()));
}

void CharacterStage::resizeEvent(QResizeEvent* event) {
    pictures_.clear();
    QWidget::resizeEvent(event);
    updateShape();
    Q_EMIT geometryChanged();
}

void CharacterStage::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    Q_EMIT geometryChanged();
}

// A hidden character does not animate.
void CharacterStage::showEvent(QShowEvent* event) {
    player_.resume();
    QWidget::showEvent(event);
}

void CharacterStage::hideEvent(QHideEvent* event) {
    player_.pause();
    QWidget::hideEvent(event);
}

void CharacterStage::mousePressEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        dragging_ = false;
        pressedAt_ = global;
        topLeftAtPress_ = pos();
    } else if (const int button = buttonBit(event->button())) {
        Q_EMIT clicked(button, shiftBits(event->modifiers()), global);
        if (event->button() == Qt::RightButton)
            Q_EMIT menuRequested(global);
    }
}

void CharacterStage::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_)
        return;
    const QPoint offset = event->globalPosition().toPoint() - pressedAt_;
    if (!dragging_ && offset.manhattanLength() >= QApplication::startDragDistance())
        dragging_ = true;
    if (dragging_)
        move(topLeftAtPress_ + offset);
}

void CharacterStage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    if (dragging_)
        Q_EMIT dragged(pos());
    else
        Q_EMIT clicked(1, shiftBits(event->modifiers()), event->globalPosition().toPoint());
    dragging_ = false;
}

} // namespace folimar::character
