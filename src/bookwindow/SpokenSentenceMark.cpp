#include "bookwindow/SpokenSentenceMark.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace folimar::bookwindow {

namespace {

// How much of the picture shows through the band.
constexpr int BandAlpha = 90;
// The bar under the spoken word: a tenth of its height, at least this thick when shown.
constexpr int MinBarPixels = 2;

} // namespace

SpokenSentenceMark::SpokenSentenceMark(QWidget* picture) : QWidget(picture) {
    setObjectName(QStringLiteral("SpokenSentenceMark"));
    setAttribute(Qt::WA_NoSystemBackground);
    resize(picture->size());
    picture->installEventFilter(this);
}

void SpokenSentenceMark::mark(const QList<QRect>& bands, const QSize& natural) {
    if (bands == bands_ && natural == natural_)
        return;
    word_.clear(); // a new sentence: its words come
    bands_ = bands;
    natural_ = natural;
    update();
}

QRect SpokenSentenceMark::shown(const QRect& band) const {
    const double x = double(width()) / natural_.width();
    const double y = double(height()) / natural_.height();
    return QRectF(band.x() * x, band.y() * y, band.width() * x, band.height() * y).toAlignedRect();
}

QList<QRect> SpokenSentenceMark::shownBands() const {
    QList<QRect> shownBands;
    if (natural_.isEmpty())
        return shownBands;
    for (const QRect& band : bands_)
        shownBands.append(shown(band));
    return shownBands;
}

void SpokenSentenceMark::markWord(const QList<QRect>& boxes) {
    if (boxes == word_)
        return;
    QRegion changed;
    for (const QRect& bar : shownWord())
        changed += bar;
    word_ = boxes;
    for (const QRect& bar : shownWord())
        changed += bar;
    update(changed);
}

QRect SpokenSentenceMark::underline(const QRect& box) const {
    const QRect inView = shown(box);
    const int thickness = std::max(MinBarPixels, inView.height() / 10);
    return {inView.left(), inView.bottom() + 1, inView.width(), thickness};
}

QList<QRect> SpokenSentenceMark::shownWord() const {
    QList<QRect> bars;
    if (natural_.isEmpty())
        return bars;
    for (const QRect& box : word_)
        bars.append(underline(box));
    return bars;
}

bool SpokenSentenceMark::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        resize(parentWidget()->size());
    return QWidget::eventFilter(watched, event);
}

void SpokenSentenceMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor colour = palette().color(QPalette::Highlight);
    colour.setAlpha(BandAlpha);
    for (const QRect& band : shownBands())
        painter.fillRect(band, colour);
    colour.setAlpha(255);
    for (const QRect& bar : shownWord())
        painter.fillRect(bar, colour);
}

void SpokenSentenceMark::mousePressEvent(QMouseEvent* event) {
    const int offset =
        event->button() == Qt::LeftButton && finder_ ? finder_(event->position().toPoint()) : -1;
    if (offset < 0) {
        event->ignore();
        return;
    }
    Q_EMIT wordClicked(offset);
}

} // namespace folimar::bookwindow
