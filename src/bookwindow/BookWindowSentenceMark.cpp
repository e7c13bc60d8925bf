#include "bookwindow/BookWindow.h"
#include "bookwindow/SpokenSentenceMark.h"
#include "reader/ReaderState.h"
#include "recognition/RecognitionSettings.h"
#include "recognition/SentenceBands.h"
#include "recognition/WordBoxBlob.h"
#include "settings/Settings.h"

#include <QLabel>
#include <QScrollBar>

namespace folimar::bookwindow {

namespace {

// Room kept above and beside a sentence scrolled into view.
constexpr int ViewMargin = 24;

} // namespace

const QList<recognition::PlacedWord>& BookWindow::placedWords() {
    const QString text = hooks_.readerText ? hooks_.readerText() : QString();
    if (s_.state.WordBoxes != placedBoxes_ || text != placedText_) {
        placedBoxes_ = s_.state.WordBoxes;
        placedText_ = text;
        auto page = recognition::decodeWordBoxes(placedBoxes_);
        if (page)
            recognition::keepWordsOnPicture(*page, page_.naturalSize());
        placedWords_ =
            page ? recognition::placeWords(text, *page) : QList<recognition::PlacedWord>();
    }
    return placedWords_;
}

int BookWindow::wordOffsetAt(const QPoint& shown) {
    const QSize natural = page_.naturalSize();
    if (!s_.picture.PictureShown || Image1->width() <= 0 || Image1->height() <= 0)
        return -1;
    const QPoint inPicture(int(shown.x() * double(natural.width()) / Image1->width()),
                           int(shown.y() * double(natural.height()) / Image1->height()));
    const QList<recognition::PlacedWord>& words = placedWords();
    const qsizetype word = recognition::wordAt(words, inPicture);
    return word < 0 ? -1 : words[word].offset;
}

void BookWindow::markSpokenSentence(int start, int length) {
    if (!s_.picture.PictureShown || s_.state.WordBoxes.isEmpty() ||
        !recognition::RecognitionSettings::load(s_.recognitionSettingsPath).showSpokenSentence) {
        clearSpokenSentence();
        return;
    }
    const QList<QRect> bands = recognition::sentenceBands(placedWords(), start, start + length);
    sentenceMark_->mark(bands, page_.naturalSize());
    if (!bands.isEmpty())
        keepInView(sentenceMark_->shownBands().front());
}

// Only inside a sentence marked: the choice to mark it and the picture's words were
// looked at when it was.
void BookWindow::markSpokenWord(int start, int length) {
    if (length <= 0 || sentenceMark_->shownBands().isEmpty() || s_.settings.SpokenWordMark != 0) {
        sentenceMark_->markWord({});
        return;
    }
    sentenceMark_->markWord(recognition::sentenceBands(placedWords(), start, start + length));
}

void BookWindow::clearSpokenSentence() {
    sentenceMark_->clear();
}

// Scrolls only when the band is not wholly in view, so that the page does not jump
// from line to line while the reading stays on what is shown.
void BookWindow::keepInView(const QRect& shownBand) {
    const QSize visible = visibleSize();
    const QRect inView = shownBand.translated(Image1->pos());
    const auto follow = [](QScrollBar* bar, int start, int end, int origin, float ratio,
                           int divisor, int pictureExtent, int visibleExtent) {
        if (bar->isHidden() || (start >= 0 && end <= visibleExtent))
            return;
        const int offset = -(start - origin - ViewMargin);
        bar->setValue(std::clamp(
            ScrollValueFor(std::min(0, offset), ratio, divisor, pictureExtent, visibleExtent), 0,
            bar->maximum()));
    };
    follow(VScroll1, inView.top(), inView.bottom(), Image1->y(), s_.picture.VRatio, 8,
           s_.picture.PicHeight, visible.height());
    follow(HScroll1, inView.left(), inView.right(), Image1->x(), s_.picture.HRatio, 9,
           s_.picture.PicWidth, visible.width());
}

} // namespace folimar::bookwindow
