#pragma once

#include "bookexport/BookFormat.h"
#include "bookwindow/PagePicture.h"
#include "bookwindow/PictureDrawing.h"
#include "bookwindow/PictureGeometry.h"
#include "bookwindow/PreparedPicture.h"
#include "recognition/WordAlignment.h"
#include "topics/PageView.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollBar;

namespace folimar::platform {
class Clock;
class Dialogs;
class InstalledFiles;
class ProcessLauncher;
} // namespace folimar::platform
namespace folimar::recognition {
class TextRecognition;
struct ReadOutcome;
} // namespace folimar::recognition
namespace folimar::reader {
class CharacterHost;
class SentenceReader;
struct ReaderState;
} // namespace folimar::reader
namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}
namespace folimar::topics {
class TopicNavigation;
}

namespace folimar::bookwindow {

class PastePreparation;
struct PreparedPaste;
class BookExportWindow;
class PictureConversion;
class SpokenSentenceMark;
struct PictureState;

// The book window (`Form2`): the page picture of the current topic in `Image1`, with its
// scroll bars, and the book commands. It stands beside the reader window in one of the
// four arrangements and keeps the reader window docked against it.
class BookWindow final : public QMainWindow, public topics::PageView {
    Q_OBJECT
public:
    // What the window works with; all of it outlives the window.
    struct Services {
        settings::Settings& settings;
        reader::ReaderState& state;
        PictureState& picture;
        store::BookStore& store;
        reader::SentenceReader& reader;
        reader::CharacterHost& host;
        platform::Dialogs& dialogs;
        platform::ProcessLauncher& launcher;
        platform::Clock& clock;
        const platform::InstalledFiles& installed;
        QString programFolder; // where "temp.bmp" and "temp.jpg" live
        QString recognitionSettingsPath; // the user's text recognition choices
        // How a topic's stored picture is drawn off the interface thread, and how long the
        // page waits for it before it is shown empty.
        PictureDrawing::Options drawing;
    };

    // Calls to the windows the program wires to this one; an empty hook does nothing.
    struct Hooks {
        std::function<void(QWidget*)> installReadingKeys; // the shared function keys
        std::function<QString()> readerText;
        std::function<void(const QString&)> setReaderText;
        std::function<void(const QPoint& globalPos)> showReaderPopup;
        std::function<void(bool onPage)> openFind; // Ctrl+F (on page), Ctrl+D (whole book)
        std::function<void()> openReplace;         // Ctrl+T
        std::function<void()> findNext;            // Ctrl+G
        std::function<void()> quitRequested; // the program saves its settings and ends
        // The File menu.
        std::function<void()> openBook;
        std::function<void()> newBook;
        std::function<void()> saveBookAs;
        std::function<void()> mergeBook;
        std::function<void()> showStatistics;
        std::function<void()> previousBook;
        // The text read from the page's picture replaces the reader's text, as a paste
        // would, and marks the page edited.
        std::function<void(const QString&)> takeRecognisedText;
        // A word clicked on the page picture: reading goes on from its place in the text.
        std::function<void(int offset)> readFrom;
        // File > Import: PDFs and pictures, or a folder of scans.
        std::function<void()> importFiles;
        std::function<void()> importFolder;
    };

    BookWindow(Services services, Hooks hooks, QWidget* parent = nullptr);
    ~BookWindow() override;

    // The topic manager's list, through which pages are turned (set once it exists).
    void setTopicNavigation(topics::TopicNavigation* navigation) { navigation_ = navigation; }
    // The reader window, docked against this one; counts as loaded once handed in.
    void setReaderWindow(QWidget* readerWindow) { readerWindow_ = readerWindow; }

    // Ticks the arrangement and places the window from the saved geometry, or by the
    // arrangement when none is saved.
    void placeAtLoad();
    // Stores the window's place and state in the settings.
    void rememberGeometry();

    // The sentence being read, from `start` in the reader's text, marked on the page
    // picture where its words were found (and the user wants it shown); cleared when
    // reading stops or the picture changes.
    void markSpokenSentence(int start, int length);
    void clearSpokenSentence();
    // The word being spoken, from `start`, `length` characters, within the sentence marked;
    // a length of 0 clears it.
    void markSpokenWord(int start, int length);
    const SpokenSentenceMark* sentenceMark() const { return sentenceMark_; }
    // The doubtful words' boxes (in the picture's pixels), outlined on the picture; those
    // not on it are left out.
    void markDoubtfulWords(const QList<QRect>& boxes);
    // Scrolls the picture so that a word with these boxes is in view.
    void showWordBoxes(const QList<QRect>& boxes);

    // Page turning (F6, F5, `mnuNext`, `mnuPrev`), with the blank pages before the first
    // and after the last topic; a page with unstored edits asks to be stored first.
    void NextTopic();
    void PrevTopic();
    // The topic manager shown in its list view (`mnuTopics`).
    void showTopics();
    // File > Export: the window that saves the book in `format` (`mnuExportPdf`,
    // `mnuExportEpub`).
    void exportBook(bookexport::BookFormat format);
    // Stores the page (reader text and "temp.jpg") under the topic manager's number and
    // name (F9).
    void StoreTopic();

    // Pastes the clipboard's picture as the page's picture (`mnuPaste`, Ctrl+V).
    void pastePicture();
    // Reads the text of the shown picture into the reader window (`mnuText`, Ctrl+R), on a
    // worker thread, with its progress shown; Esc or Cancel, a page turn or a new picture
    // give it up.
    void readPageText();
    void cancelPageText();
    bool readingPageText() const;
    // Gives up a running reading of the page's text (Esc); false when none runs.
    bool cancelRunningPageText();
    // Ctrl+C; Ctrl+X also clears the page picture.
    void copyPicture();
    void cutPicture();
    // Fits the picture again (after an arrangement).
    void RefitPicture();
    // The zoom commands: natural size, window width, out and in.
    void zoomNatural();
    void zoomWindowWidth();
    void zoomOut();
    void zoomIn();
    // Re-tiles both windows in arrangement 0 Left, 1 Right, 2 Top, 3 Bottom, refits the
    // picture and places the character ("Auto").
    void arrangeWindows(int arrangement);

    // topics::PageView
    void ClearPagePicture() override;
    void showPagePicture(const QString& jpegPath) override;
    void showPagePictureBytes(const QString& jpegPath, const QByteArray& jpeg) override;
    bool PictureShown() const override;
    void setPageCaption(const QString& caption) override;
    void setTopicNavigationEnabled(bool enabled) override;

    QLabel* Image1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QLabel* dde_spipe = nullptr;

Q_SIGNALS:
    // A paste has ended (shown, or given up quietly).
    void pasteFinished();
    // The page's word boxes (and their confidences) changed with its picture: dropped with
    // it, or found by reading it.
    void wordBoxesChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void addArrangementItem(QMenu* menu, QAction*& item, const QString& name,
                            const QString& caption, int arrangement);
    void tickArrangement(int arrangement);
    void realign();

    // Window geometry.
    QSize innerSize() const;
    QSize visibleSize() const; // the inner size less the scroll bars
    int barExtent() const;
    void layoutPage();
    void dockReaderWindow();
    void rememberReaderGeometry();

    // The picture.
    void applyScrollRanges(const ScrollRanges& ranges);
    void resetScrollValues();
    void positionPicture();
    bool showAtCurrentSize();
    void showImage(QImage image);
    void drawAtCurrentSize(bool keepShown = false);
    void showDrawnPicture(const QImage& image);
    void refusePicture(const QString& reason);
    void FitPagePicture(bool keepShown = false);
    void keepPictureFitted();
    void prepareNextPage();
    void forgetPicture();
    void setWordBoxes(const QByteArray& boxes);
    bool pasting() const;
    void convertPasted(const PreparedPaste& paste);
    void sayNotPasted(const QString& refusal);
    void restorePageBeforePaste();
    void finishPaste(bool converted, const QString& failure);
    void abandonPaste();
    void applyZoom(const std::function<bool(PictureState&, const ZoomLimits&)>& zoom);
    ZoomLimits zoomLimits() const;

    // Reading the page's text.
    void createTextProgress();
    void startReadingText(bool asked);
    void readPastedPictureText();
    void takePageText(const recognition::ReadOutcome& outcome);
    bool replaceEditsAsked();

    // The spoken sentence on the picture.
    const QList<recognition::PlacedWord>& placedWords();
    int wordOffsetAt(const QPoint& shown); // a point of the picture as shown
    void keepInView(const QRect& shownBand);

    // Topics.
    bool pageMayTurn();
    void prepareNewTopicNumber();
    void showBlankPage();
    void turnTo(int index, int previousIndex);
    void LockTopicList();
    void UnlockTopicList();

    Services s_;
    Hooks hooks_;
    topics::TopicNavigation* navigation_ = nullptr;
    QPointer<QWidget> readerWindow_;
    bool BookWindowLoaded = false;
    PagePicture page_;
    // The picture is shown at its fitted size, not zoomed: it follows the page's size.
    bool pictureFitted_ = false;
    PreparedPicture nextPage_; // the next topic's picture, drawn ahead
    // While a paste is made ready (turned level, then converted), the page shows the picture
    // as pasted; the picture it showed before comes back if the paste fails.
    PagePicture pageBeforePaste_;
    QImage pastedImage_; // the level picture to show once the converter has run
    PastePreparation* preparation_ = nullptr;
    PictureConversion* conversion_ = nullptr;
    PictureDrawing* drawing_ = nullptr; // the stored picture, drawn on a worker
    QWidget* pageArea_ = nullptr;
    QLabel* pictureNotice_ = nullptr; // why the page's picture is not shown
    recognition::TextRecognition* recognition_ = nullptr;
    QWidget* textProgress_ = nullptr; // shown while the page's text is read
    QProgressBar* prgText = nullptr;
    bool textAsked_ = false; // the reading was asked for (Ctrl+R), not started by a paste
    QString textAtStart_;    // the reader's text when the reading began
    SpokenSentenceMark* sentenceMark_ = nullptr;
    // The page's words on its picture, found again when the boxes or the text change.
    QByteArray placedBoxes_;
    QString placedText_;
    QList<recognition::PlacedWord> placedWords_;

    std::map<bookexport::BookFormat, BookExportWindow*> exportWindows_;
    QAction* mnuPrev = nullptr;
    QAction* mnuNext = nullptr;
    QAction* mnuLeft = nullptr;
    QAction* mnuRight = nullptr;
    QAction* mnuTop = nullptr;
    QAction* mnuBottom = nullptr;
};

} // namespace folimar::bookwindow
