#pragma once

#include <QWidget>
#include <functional>

namespace folimar::bookwindow {

// The sentence being read, marked on the page picture: a translucent band in the
// palette's highlight colour over each line's run of its words, and a bar under the word
// being spoken. It lies over the picture
// label, takes its size, and scales the bands from the picture's own pixels to the size
// the picture is shown at (fitted, zoomed or stretched). The doubtful words of the page are
// outlined on it as well. A left click on a word found on
// the picture asks to read from there; other clicks go on to the picture.
class SpokenSentenceMark final : public QWidget {
    Q_OBJECT
public:
    explicit SpokenSentenceMark(QWidget* picture);

    // The bands, in the pixels of a picture of `natural` size; none clears the mark.
    void mark(const QList<QRect>& bands, const QSize& natural);
    void clear() { mark({}, {}); }
    // The word being spoken (its boxes in picture pixels, within the sentence marked); none
    // clears it. Only the old and the new word are repainted.
    void markWord(const QList<QRect>& boxes);
    // The boxes of the doubtful words, in the pixels of a picture of `natural` size, each
    // outlined; none clears them.
    void outline(const QList<QRect>& boxes, const QSize& natural);
    // The outlines as drawn, in this widget's coordinates.
    QList<QRect> shownOutlines() const;
    // A box of the picture as shown here.
    QRect shownBox(const QRect& box, const QSize& natural) const;
    // The bars under the word as drawn, in this widget's coordinates.
    QList<QRect> shownWord() const;
    // Where in the text the word at a point of this widget starts, or -1.
    void setWordFinder(std::function<int(const QPoint&)> finder) { finder_ = std::move(finder); }
    // The bands as drawn, in this widget's (and the picture label's) coordinates.
    QList<QRect> shownBands() const;

Q_SIGNALS:
    // The word at the text's `offset` was clicked.
    void wordClicked(int offset);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect shown(const QRect& band) const;
    QRect underline(const QRect& box) const;

    QList<QRect> bands_;
    QList<QRect> word_;
    QSize natural_;
    QList<QRect> outlines_;
    QSize outlinesNatural_;
    std::function<int(const QPoint&)> finder_;
};

} // namespace folimar::bookwindow
