#include "bookwindow/BookWindow.h"
#include "bookwindow/BookWindowLog.h"
#include "bookwindow/JpegDecoder.h"
#include "bookwindow/PastePreparation.h"
#include "bookwindow/PictureConversion.h"
#include "bookwindow/PictureState.h"
#include "pictures/PictureReading.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/SavedGeometry.h"
#include "reader/WindowArrangement.h"
#include "recognition/RecognitionSettings.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "topics/TopicNavigation.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <utility>

namespace folimar::bookwindow {

namespace {

constexpr int ZoomOutMinimumTwips = 100;
// Zooming in stops here: a larger picture would not fit in memory.
constexpr int ZoomInMaximumPixels = 16000;

void showNormally(QWidget& window) {
    window.setWindowState(window.windowState() &
                          ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

} // namespace

bool BookWindow::PictureShown() const {
    return s_.picture.PictureShown;
}

ZoomLimits BookWindow::zoomLimits() const {
    return {reader::TwipsToPixels(ZoomOutMinimumTwips, logicalDpiX()), ZoomInMaximumPixels};
}

void BookWindow::applyScrollRanges(const ScrollRanges& ranges) {
    const auto apply = [](QScrollBar* bar, const ScrollBarRange& range) {
        if (range.shown)
            bar->setMaximum(range.maximum);
        bar->setVisible(range.shown);
    };
    apply(HScroll1, ranges.horizontal);
    apply(VScroll1, ranges.vertical);
}

void BookWindow::resetScrollValues() {
    HScroll1->setValue(0);
    VScroll1->setValue(0);
}

// The picture's place for the scroll bars' values; a hidden bar leaves its axis at 0.
void BookWindow::positionPicture() {
    const QSize visible = visibleSize();
    const PictureState& picture = s_.picture;
    const int x = HScroll1->isHidden() ? 0
                                       : ScrollOffset(HScroll1->value(), picture.HRatio, 9,
                                                      picture.PicWidth, visible.width());
    const int y = VScroll1->isHidden() ? 0
                                       : ScrollOffset(VScroll1->value(), picture.VRatio, 8,
                                                      picture.PicHeight, visible.height());
    Image1->move(x, y);
}

// Draws the picture at PicWidth x PicHeight into Image1 and shows it, in place of any
// drawing under way; false, with Image1 unchanged, when it cannot be drawn at that size.
bool BookWindow::showAtCurrentSize() {
    QImage image = page_.render(QSize(s_.picture.PicWidth, s_.picture.PicHeight));
    if (image.isNull())
        return false;
    drawing_->cancel();
    showImage(std::move(image));
    return true;
}

void BookWindow::showImage(QImage image) {
    pictureNotice_->hide();
    Image1->resize(image.size());
    Image1->setPixmap(QPixmap::fromImage(std::move(image)));
    positionPicture();
    Image1->show();
}

// Starts drawing the picture at PicWidth x PicHeight on a worker, the next page's picture
// drawn ahead serving when it is the one. The page stays empty until it is drawn, unless
// `keepShown`: a picture that replaces a likeness of itself leaves that one shown meanwhile.
void BookWindow::drawAtCurrentSize(bool keepShown) {
    const QSize size(s_.picture.PicWidth, s_.picture.PicHeight);
    if (!keepShown) {
        Image1->hide();
        Image1->clear();
    }
    pictureNotice_->hide();
    drawing_->start(page_, size, nextPage_.take(page_.bytes(), size));
}

// The next page is drawn ahead once this one is painted.
void BookWindow::showDrawnPicture(const QImage& image) {
    showImage(image);
    QTimer::singleShot(0, this, &BookWindow::prepareNextPage);
}

// A picture that cannot be drawn leaves an empty page that says why. Its bytes stay in
// "temp.jpg", where storing the page finds them.
void BookWindow::refusePicture(const QString& reason) {
    qCInfo(bookWindowLog) << "the page picture is not shown:" << reason;
    forgetPicture();
    pictureNotice_->setText(
        QStringLiteral("This page's picture could not be shown: %1.").arg(reason));
    pictureNotice_->show();
}

// An empty page: no picture, no scroll bars, no size.
void BookWindow::forgetPicture() {
    cancelPageText();
    drawing_->cancel();
    pictureNotice_->hide();
    page_.clear();
    setWordBoxes({});
    clearSpokenSentence();
    Image1->clear();
    Image1->hide();
    s_.picture.PictureShown = false;
    pictureFitted_ = false;
    HScroll1->hide();
    VScroll1->hide();
    s_.picture.PicWidth = 0;
    s_.picture.PicHeight = 0;
}

bool BookWindow::pasting() const {
    return preparation_->isRunning() || conversion_->isRunning();
}

// A paste still being made ready gives way to whatever page comes next, which the pasted
// picture never reaches.
void BookWindow::abandonPaste() {
    if (!pasting())
        return;
    preparation_->cancel();
    conversion_->cancel();
    pastedImage_ = QImage();
    pageBeforePaste_ = PagePicture();
    UnlockTopicList();
    Q_EMIT pasteFinished();
}

void BookWindow::ClearPagePicture() {
    abandonPaste();
    forgetPicture();
    for (const char* name : {"/temp.bmp", "/temp.jpg"}) {
        const QString path = s_.programFolder + QLatin1String(name);
        if (QFile::exists(path) && !QFile::remove(path))
            qCWarning(bookWindowLog) << "could not delete" << path;
    }
}

void BookWindow::showPagePicture(const QString& jpegPath) {
    QFile file(jpegPath);
    showPagePictureBytes(jpegPath, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
}

void BookWindow::showPagePictureBytes(const QString& jpegPath, const QByteArray& jpeg) {
    abandonPaste();
    Image1->hide();
    cancelPageText();
    setWordBoxes({}); // the shown topic brings its own
    clearSpokenSentence();
    if (!page_.load(jpeg)) {
        qCInfo(bookWindowLog) << jpegPath << "is not a picture that may be shown";
        refusePicture(JpegDecoder::fitsMemory(jpeg)
                          ? QStringLiteral("it is damaged or is not a picture")
                          : QStringLiteral("it is too large to decode"));
        return;
    }
    s_.picture.PictureShown = true;
    FitPagePicture();
}

// While the page shown is read aloud, the next topic's picture is drawn ahead at the size
// it will be shown at; a turn to it then finds it ready.
void BookWindow::prepareNextPage() {
    nextPage_.clear();
    const int next = s_.settings.TopicIndex + 1;
    if (!navigation_ || !PictureShown() || next < 1 || next >= navigation_->entryCount())
        return;
    const std::optional<store::TopicPage> page = s_.store.readTopic(navigation_->topicNoAt(next));
    const QSize natural = page ? JpegDecoder().size(page->PicData) : QSize();
    if (natural.isEmpty())
        return; // no picture, or not a JPEG: drawn when shown
    PictureState ahead = s_.picture;
    LoadNaturalSize(ahead, natural);
    FitPicture(ahead, s_.settings.DefaultZoom, innerSize());
    nextPage_.prepare(page->PicData, QSize(ahead.PicWidth, ahead.PicHeight));
}

void BookWindow::FitPagePicture(bool keepShown) {
    pictureFitted_ = true;
    LoadNaturalSize(s_.picture, page_.naturalSize());
    HScroll1->hide();
    VScroll1->hide();
    FitPicture(s_.picture, s_.settings.DefaultZoom, innerSize());
    resetScrollValues();
    drawAtCurrentSize(keepShown);
}

// A fitted picture is fitted again when the page's area changes size: a restored window
// takes its frame only once it is on screen, and Text's progress strip comes and goes
// under the page. A picture that keeps its size is not drawn again.
void BookWindow::keepPictureFitted() {
    if (!pictureFitted_ || !s_.picture.PictureShown || page_.isEmpty())
        return;
    PictureState fitted = s_.picture;
    LoadNaturalSize(fitted, page_.naturalSize());
    FitPicture(fitted, s_.settings.DefaultZoom, innerSize());
    if (fitted.PicWidth != s_.picture.PicWidth || fitted.PicHeight != s_.picture.PicHeight)
        FitPagePicture();
}

void BookWindow::RefitPicture() {
    if (pictureFitted_) {
        keepPictureFitted(); // drawn again only when its size changes
        return;
    }
    if (s_.picture.PicWidth == 0 || s_.picture.PicHeight == 0)
        return;
    Image1->hide();
    HScroll1->hide();
    VScroll1->hide();
    FitPicture(s_.picture, s_.settings.DefaultZoom, innerSize());
    resetScrollValues();
    drawAtCurrentSize();
}

// The pasted picture is shown at once as it came; it is decoded whole and turned level (when
// the user stores pasted pictures level) off the window's thread, converted, and only then
// becomes the page's picture, replacing the one shown.
void BookWindow::pastePicture() {
    if (pasting())
        return; // one paste at a time
    LockTopicList();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    pictures::ClipboardOffer offer =
        clipboard ? pictures::clipboardOffer(*clipboard) : pictures::ClipboardOffer();
    // A JPEG is shown drawn from its bytes at the size it is shown, as a stored page is; any
    // other picture is decoded here, and one that cannot be is refused at once.
    PagePicture shown;
    if (!pictures::showsFromBytes(offer) || !shown.load(offer.bytes)) {
        const pictures::PictureRead pasted = pictures::offeredPicture(offer);
        if (pasted.image.isNull()) {
            // The page keeps the picture it showed.
            UnlockTopicList();
            Q_EMIT pasteFinished();
            if (!pasted.refusal.isEmpty())
                sayNotPasted(pasted.refusal);
            return;
        }
        offer = {{}, pasted.image};
        shown.setImage(pasted.image);
    }
    clearSpokenSentence(); // its words are not on this picture
    pageBeforePaste_ = std::exchange(page_, std::move(shown));
    FitPagePicture();
    preparation_->start(
        offer, recognition::RecognitionSettings::load(s_.recognitionSettingsPath).straightenPasted);
}

void BookWindow::sayNotPasted(const QString& refusal) {
    s_.dialogs.inform(QStringLiteral("The picture was not pasted: %1. Scan it at a lower "
                                     "resolution (600 dpi is plenty for reading) or make it "
                                     "smaller, then paste it again.")
                          .arg(refusal),
                      QStringLiteral("Paste"), platform::MessageIcon::Exclamation);
}

void BookWindow::convertPasted(const PreparedPaste& paste) {
    if (paste.picture.isNull() || !conversion_->start(paste.picture, s_.settings.PasteQuality)) {
        restorePageBeforePaste();
        UnlockTopicList();
        Q_EMIT pasteFinished();
        if (!paste.refusal.isEmpty())
            sayNotPasted(paste.refusal);
        return;
    }
    // A picture turned level replaces the one shown once converted; one that was not is
    // shown already.
    pastedImage_ = paste.turned ? paste.picture : QImage();
}

// A paste that failed leaves the page with the picture it had.
void BookWindow::restorePageBeforePaste() {
    page_ = std::exchange(pageBeforePaste_, PagePicture());
    if (s_.picture.PictureShown && !page_.isEmpty())
        FitPagePicture();
    else
        forgetPicture();
}

// The converter has ended: the pasted picture is the page's. A conversion that failed
// or was given up on leaves the page with the picture it had, and says so.
void BookWindow::finishPaste(bool converted, const QString& failure) {
    cancelPageText();
    if (!converted) {
        pastedImage_ = QImage();
        restorePageBeforePaste();
        UnlockTopicList();
        Q_EMIT pasteFinished();
        s_.dialogs.inform(QStringLiteral("The picture could not be converted: %1.").arg(failure),
                          QStringLiteral("Paste"), platform::MessageIcon::Exclamation);
        return;
    }
    pageBeforePaste_ = PagePicture();
    if (!pastedImage_.isNull()) {
        // The page goes on showing the picture as pasted until the level one is drawn.
        page_.setImage(std::exchange(pastedImage_, QImage()));
        FitPagePicture(true);
    }
    setWordBoxes({});
    s_.picture.PictureShown = true;
    if (!s_.store.ReadOnlyMode) {
        s_.state.TopicDirty = true;
        if (!s_.store.BookOwner.isEmpty() && s_.store.BookOwner != s_.settings.UserName)
            s_.state.TopicDirty = false;
    }
    UnlockTopicList();
    readPastedPictureText();
    Q_EMIT pasteFinished();
}

void BookWindow::copyPicture() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (!s_.picture.PictureShown)
        return;
    const QImage picture = page_.render(page_.naturalSize());
    if (!picture.isNull())
        clipboard->setImage(picture);
}

void BookWindow::cutPicture() {
    copyPicture();
    ClearPagePicture();
}

void BookWindow::zoomNatural() {
    applyZoom(ZoomNatural);
}

void BookWindow::zoomWindowWidth() {
    const QSize window = innerSize();
    applyZoom([window](PictureState& picture, const ZoomLimits& limits) {
        return ZoomWindowWidth(picture, window, limits);
    });
}

void BookWindow::zoomOut() {
    applyZoom(ZoomOut);
}

void BookWindow::zoomIn() {
    applyZoom(ZoomIn);
}

// Zooms, shows the picture at its new size from the top left, and sets the scroll bars for
// the whole inner area. A size that cannot be drawn leaves the picture as it was.
void BookWindow::applyZoom(const std::function<bool(PictureState&, const ZoomLimits&)>& zoom) {
    const PictureState before = s_.picture;
    if (!zoom(s_.picture, zoomLimits()))
        return;
    if (!showAtCurrentSize()) {
        qCInfo(bookWindowLog) << "could not draw the picture at" << s_.picture.PicWidth << "x"
                              << s_.picture.PicHeight;
        s_.picture = before;
        return;
    }
    pictureFitted_ = false;
    applyScrollRanges(UpdateRatios(s_.picture, innerSize()));
    resetScrollValues();
    positionPicture();
}

void BookWindow::arrangeWindows(int arrangement) {
    if (arrangement < 0 || arrangement > 3)
        return;
    s_.settings.WindowArrangement = qint16(arrangement);
    tickArrangement(arrangement);
    if (readerWindow_)
        showNormally(*readerWindow_);
    showNormally(*this);
    const reader::ArrangedWindows places =
        reader::ArrangeWindows(arrangement, QGuiApplication::primaryScreen()->geometry());
    const bool bookFirst = arrangement == int(reader::Arrangement::Left) ||
                           arrangement == int(reader::Arrangement::Top);
    if (bookFirst)
        reader::PlaceWindow(*this, places.book);
    if (readerWindow_)
        reader::PlaceWindow(*readerWindow_, places.reader);
    if (!bookFirst)
        reader::PlaceWindow(*this, places.book);
    RefitPicture();
    if (s_.settings.AgentStartPos == 0)
        s_.host.PlaceCharacter();
}

} // namespace folimar::bookwindow
