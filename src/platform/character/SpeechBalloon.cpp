#include "platform/character/SpeechBalloon.h"

#include "platform/character/Character.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRegion>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>

namespace folimar::character {

namespace {

constexpr int Padding = 10;
constexpr int Tail = 12; // height of the pointer towards the character
constexpr int Border = 2;
constexpr int TextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignBottom;

} // namespace

SpeechBalloon::SpeechBalloon(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                          Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("SpeechBalloon"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    pace_.setSingleShot(false);
    connect(&pace_, &QTimer::timeout, this, &SpeechBalloon::revealNextWord);
    hideLater_.setSingleShot(true);
    hideLater_.setInterval(AutoHideDelayMs);
    connect(&hideLater_, &QTimer::timeout, this, &QWidget::hide);
}

void SpeechBalloon::say(const QString& text, int msPerWord, const QRect& character) {
    hideLater_.stop();
    pace_.stop();
    if (!(style_ & BalloonOn)) {
        hide();
        return;
    }
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    words_ = text.split(spaces, Qt::SkipEmptyParts);
    const bool paced = (style_ & BalloonAutoPace) && words_.size() > 1;
    shown_ = paced ? 1 : static_cast<int>(words_.size());
    if (paced)
        pace_.start(std::max(1, msPerWord));
    // Sized for the whole text from the start, so the balloon does not grow word by word.
    const QSize inner = (style_ & BalloonSizeToText)
                            ? textSize(words_.join(' '))
                            : QSize(FixedTextWidth, fontMetrics().lineSpacing() * FixedTextLines);
    resize(inner.width() + 2 * Padding + 2 * Border,
           inner.height() + 2 * Padding + 2 * Border + Tail);
    placeBeside(character);
    update();
    show();
}

void SpeechBalloon::finish() {
    pace_.stop();
    shown_ = static_cast<int>(words_.size());
    update();
    if (style_ & BalloonAutoHide)
        hideLater_.start();
}

QString SpeechBalloon::shownText() const {
    return words_.mid(0, shown_).join(' ');
}

void SpeechBalloon::revealNextWord() {
    if (shown_ < words_.size())
        ++shown_;
    if (shown_ >= words_.size())
        pace_.stop();
    update();
}

QSize SpeechBalloon::textSize(const QString& text) const {
    const QRect bounds =
        fontMetrics().boundingRect(QRect(0, 0, MaxTextWidth, 10000), TextFlags, text);
    const int maxHeight = fontMetrics().lineSpacing() * 12;
    return {std::max(bounds.width(), 40), std::clamp(bounds.height(), 1, maxHeight)};
}

// Above the character when there is room on its screen, else below; kept on the screen.
void SpeechBalloon::placeBeside(const QRect& character) {
    const QScreen* screen = this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 15, 1 << 15);
    int x = character.center().x() - width() / 2;
    int y = character.top() - height();
    if (y < area.top())
        y = character.bottom() + 1;
    x = std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - width()));
    y = std::clamp(y, area.top(), std::max(area.top(), area.bottom() + 1 - height()));
    move(x, y);
}

// The balloon's body with its pointer towards the character.
QPainterPath SpeechBalloon::outline() const {
    const QRectF body(Border, Border, width() - 2 * Border, height() - Tail - 2 * Border);
    QPainterPath path;
    path.addRoundedRect(body, 10, 10);
    QPainterPath tail;
    const qreal mid = width() / 2.0;
    tail.moveTo(mid - 8, body.bottom() - 1);
    tail.lineTo(mid, height() - Border);
    tail.lineTo(mid + 8, body.bottom() - 1);
    tail.closeSubpath();
    return path.united(tail);
}

// Shaped like its outline, so no box shows around it on desktops without a compositor.
void SpeechBalloon::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    QPainterPathStroker stroker;
    stroker.setWidth(Border);
    setMask(QRegion(outline().united(stroker.createStroke(outline())).toFillPolygon().toPolygon()));
}

void SpeechBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body(Border, Border, width() - 2 * Border, height() - Tail - 2 * Border);
    painter.setPen(QPen(QColor(40, 40, 60), Border));
    painter.setBrush(QColor(255, 255, 238));
    painter.drawPath(outline());
    painter.setPen(QColor(20, 20, 30));
    painter.setClipRect(
        body.adjusted(Padding / 2.0, Padding / 2.0, -Padding / 2.0, -Padding / 2.0));
    painter.drawText(body.adjusted(Padding, Padding, -Padding, -Padding), TextFlags, shownText());
}

} // namespace folimar::character
