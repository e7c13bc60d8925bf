// The doubtful words of the page on its picture, and the word boxes they are found with.
#include "bookwindow/BookWindow.h"
#include "bookwindow/PictureState.h"
#include "bookwindow/SpokenSentenceMark.h"
#include "reader/ReaderState.h"

#include <QLabel>

namespace folimar::bookwindow {

void BookWindow::markDoubtfulWords(const QList<QRect>& boxes) {
    const QSize natural = page_.naturalSize();
    QList<QRect> onPicture;
    if (s_.picture.PictureShown) {
        const QRect picture(QPoint(0, 0), natural);
        for (const QRect& box : boxes)
            if (picture.contains(box))
                onPicture.append(box);
    }
    sentenceMark_->outline(onPicture, natural);
}

void BookWindow::setWordBoxes(const QByteArray& boxes) {
    if (boxes == s_.state.WordBoxes)
        return;
    s_.state.WordBoxes = boxes;
    Q_EMIT wordBoxesChanged();
}

void BookWindow::showWordBoxes(const QList<QRect>& boxes) {
    const QSize natural = page_.naturalSize();
    if (boxes.isEmpty() || !s_.picture.PictureShown || natural.isEmpty() ||
        !QRect(QPoint(0, 0), natural).contains(boxes.front()))
        return;
    keepInView(sentenceMark_->shownBox(boxes.front(), natural));
}

} // namespace folimar::bookwindow
