#include "bookwindow/BookWindow.h"

#include "bookwindow/PageHint.h"
#include "bookwindow/PastePreparation.h"
#include "bookwindow/PictureConversion.h"
#include "bookwindow/PictureState.h"
#include "bookwindow/SpokenSentenceMark.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/SavedGeometry.h"
#include "reader/SentenceReader.h"
#include "reader/WindowArrangement.h"
#include "settings/Settings.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace folimar::bookwindow {

namespace {

constexpr Qt::WindowStates NotNormal =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

bool isNormalState(const QWidget& window) {
    return !(window.windowState() & NotNormal);
}

} // namespace

BookWindow::BookWindow(Services services, Hooks hooks, QWidget* parent)
    : QMainWindow(parent), s_(std::move(services)), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Form2"));

    pageArea_ = new QWidget(this);
    pageArea_->setBackgroundRole(QPalette::Base);
    pageArea_->setAutoFillBackground(true);
    pageArea_->installEventFilter(this);
    setCentralWidget(pageArea_);

    // The picture lies under the scroll bars.
    Image1 = new QLabel(pageArea_);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->installEventFilter(this);
    Image1->hide();
    sentenceMark_ = new SpokenSentenceMark(Image1);
    sentenceMark_->setWordFinder([this](const QPoint& at) { return wordOffsetAt(at); });
    connect(sentenceMark_, &SpokenSentenceMark::wordClicked, this, [this](int offset) {
        if (hooks_.readFrom)
            hooks_.readFrom(offset);
    });
    HScroll1 = new QScrollBar(Qt::Horizontal, pageArea_);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->hide();
    VScroll1 = new QScrollBar(Qt::Vertical, pageArea_);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->hide();
    dde_spipe = new QLabel(QStringLiteral("dde_spipe"), pageArea_);
    dde_spipe->setObjectName(QStringLiteral("dde_spipe"));
    dde_spipe->hide();
    pictureNotice_ = new QLabel(pageArea_);
    pictureNotice_->setObjectName(QStringLiteral("PictureNotice"));
    pictureNotice_->setAlignment(Qt::AlignCenter);
    pictureNotice_->setWordWrap(true);
    pictureNotice_->hide();
    new PageHint({Image1, pictureNotice_}, pageArea_);
    connect(HScroll1, &QScrollBar::valueChanged, this, &BookWindow::positionPicture);
    connect(VScroll1, &QScrollBar::valueChanged, this, &BookWindow::positionPicture);

    conversion_ = new PictureConversion(s_.programFolder, s_.installed, s_.launcher, s_.clock,
                                        s_.dialogs, this);
    connect(conversion_, &PictureConversion::finished, this, &BookWindow::finishPaste);
    preparation_ = new PastePreparation(this);
    connect(preparation_, &PastePreparation::prepared, this, &BookWindow::convertPasted);
    drawing_ = new PictureDrawing(s_.clock, s_.drawing, this);
    connect(drawing_, &PictureDrawing::drawn, this, &BookWindow::showDrawnPicture);
    connect(drawing_, &PictureDrawing::failed, this, &BookWindow::refusePicture);
    createTextProgress();

    createMenus();

    // The "Auto" placement stands the character at the bottom centre of this window.
    s_.host.setAnchorWindow([window = QPointer<BookWindow>(this)] {
        reader::AnchorFrame anchor;
        if (window) {
            anchor.geometry = window->frameGeometry();
            anchor.logicalDpi = window->logicalDpiY();
            anchor.screenArea = window->screen()->availableGeometry();
        }
        return anchor;
    });
    if (hooks_.installReadingKeys)
        hooks_.installReadingKeys(this);
}

BookWindow::~BookWindow() = default;

void BookWindow::placeAtLoad() {
    tickArrangement(s_.settings.WindowArrangement);
    const reader::SavedGeometry saved{s_.settings.BookLeft, s_.settings.BookTop,
                                      s_.settings.BookWidth, s_.settings.BookHeight,
                                      s_.settings.BookWindowState};
    if (!saved.restore(*this)) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        reader::PlaceWindow(*this,
                            reader::ArrangeWindows(s_.settings.WindowArrangement, screen).book);
    }
    BookWindowLoaded = true;
}

void BookWindow::rememberGeometry() {
    const reader::SavedGeometry now = reader::SavedGeometry::of(*this);
    s_.settings.BookLeft = now.left;
    s_.settings.BookTop = now.top;
    s_.settings.BookWidth = now.width;
    s_.settings.BookHeight = now.height;
    s_.settings.BookWindowState = now.state;
}

void BookWindow::rememberReaderGeometry() {
    if (!readerWindow_)
        return;
    const reader::SavedGeometry now = reader::SavedGeometry::of(*readerWindow_);
    s_.settings.ReaderLeft = now.left;
    s_.settings.ReaderTop = now.top;
    s_.settings.ReaderWidth = now.width;
    s_.settings.ReaderHeight = now.height;
    s_.settings.ReaderWindowState = now.state;
}

QSize BookWindow::innerSize() const {
    return pageArea_->size();
}

int BookWindow::barExtent() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, HScroll1);
}

QSize BookWindow::visibleSize() const {
    const QSize inner = innerSize();
    const int bar = barExtent();
    return {std::max(inner.width() - bar, 0), std::max(inner.height() - bar, 0)};
}

// The bars along the bottom and right edges, their ranges for the picture, and the reader
// window docked against this one.
void BookWindow::layoutPage() {
    const QSize visible = visibleSize();
    const int bar = barExtent();
    VScroll1->setGeometry(visible.width(), 0, bar, visible.height());
    HScroll1->setGeometry(0, visible.height(), visible.width(), bar);
    pictureNotice_->setGeometry(QRect(QPoint(), visible).marginsRemoved({bar, bar, bar, bar}));
    keepPictureFitted();
    // Measured as fitting and zooming measure it, so a fitted picture needs no bar.
    if (s_.picture.PicWidth != 0)
        applyScrollRanges(UpdateRatios(s_.picture, innerSize()));
    positionPicture();
    dockReaderWindow();
}

void BookWindow::dockReaderWindow() {
    if (!BookWindowLoaded || !readerWindow_ || !isNormalState(*this) ||
        !isNormalState(*readerWindow_))
        return;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int usableHeight = int(std::lround(screen.height() * 0.96));
    const QRect book = reader::OuterGeometry(*this);
    QRect reader = reader::OuterGeometry(*readerWindow_);
    switch (static_cast<reader::Arrangement>(s_.settings.WindowArrangement)) {
    case reader::Arrangement::Left:
        reader.setWidth(std::max(screen.width() - book.width(), 1));
        reader.moveLeft(screen.x() + book.width());
        break;
    case reader::Arrangement::Right:
        reader.setWidth(std::max(screen.width() - book.width(), 1));
        break;
    case reader::Arrangement::Top:
        reader.setHeight(std::max(usableHeight - book.height(), 1));
        reader.moveTop(screen.y() + book.height());
        break;
    case reader::Arrangement::Bottom:
        reader.setHeight(std::max(usableHeight - book.height(), 1));
        break;
    default:
        return;
    }
    if (reader != reader::OuterGeometry(*readerWindow_))
        reader::PlaceWindow(*readerWindow_, reader);
}

bool BookWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pageArea_ && event->type() == QEvent::Resize) {
        layoutPage();
    } else if ((watched == pageArea_ || watched == Image1) &&
               event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && hooks_.showReaderPopup) {
            hooks_.showReaderPopup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void BookWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
        cancelRunningPageText()) {
        event->accept();
        return;
    }
    if (!(event->modifiers() & Qt::ControlModifier) || (event->modifiers() & Qt::AltModifier)) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_V:
        pastePicture();
        break;
    case Qt::Key_C:
        copyPicture();
        break;
    case Qt::Key_X:
        cutPicture();
        break;
    case Qt::Key_R:
        readPageText();
        break;
    case Qt::Key_F:
    case Qt::Key_D:
        if (hooks_.openFind)
            hooks_.openFind(event->key() == Qt::Key_F);
        break;
    case Qt::Key_T:
        if (hooks_.openReplace)
            hooks_.openReplace();
        break;
    case Qt::Key_G:
        if (hooks_.findNext)
            hooks_.findNext();
        break;
    default:
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
}

// The program ends through its shutdown step, never by this window closing on its own.
void BookWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    rememberGeometry();
    rememberReaderGeometry();
    if (s_.state.TopicDirty &&
        !s_.dialogs.confirm(QStringLiteral("Are you Sure you want to Quit?"),
                            QStringLiteral("First update your current topic")))
        return;
    if (s_.host.characterVisible()) {
        s_.reader.StopReading();
        s_.state.QuitPending = true;
    }
    s_.state.QuitRequested = true;
    if (hooks_.quitRequested)
        hooks_.quitRequested();
}

} // namespace folimar::bookwindow
