#include "bookwindow/SpokenSentenceMark.h"

#include "reader/ReaderTextEdit.h"

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
    return shownBox(band, natural_);
}

QRect SpokenSentenceMark::shownBox(const QRect& box, const QSize& natural) const {
    const double x = double(width()) / natural.width();
    const double y = double(height()) / natural.height();
    return QRectF(box.x() * x, box.y() * y, box.width() * x, box.height() * y).toAlignedRect();
}

void SpokenSentenceMark::outline(const QList<QRect>& boxes, const QSize& natural) {
    if (boxes == outlines_ && natural == outlinesNatural_)
        return;
    outlines_ = boxes;
    outlinesNatural_ = natural;
    update();
}

QList<QRect> SpokenSentenceMark::shownOutlines() const {
    QList<QRect> shownOutlines;
    if (outlinesNatural_.isEmpty())
        return shownOutlines;
    for (const QRect& box : outlines_)
        shownOutlines.append(shownBox(box, outlinesNatural_).adjusted(-2, -2, 2, 2));
    return shownOutlines;
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
    painter.setPen(QPen(reader::ReaderTextEdit::doubtfulColour(), 2));
    painter.setBrush(Qt::NoBrush);
    for (const QRect& box : shownOutlines())
        painter.drawRect(box);
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
