#pragma once

#include "reader/ReaderProfile.h"
#include "reader/SafePaste.h"
#include "store/TopicRecords.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QMenuBar;
class QMimeData;
class QTextEdit;

namespace folimar::platform {
class Dialogs;
}
namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}

namespace folimar::reader {

class AudioExportWindow;
class CharacterHost;
class HelpViewer;
class OptionsWindow;
class ReadingPlaces;
class SentenceReader;
class TextEditBox;
class TopicList;
struct ReaderState;

// The reader window (`Form1`): the current topic's text in `Text1`, where the sentence
// being spoken is highlighted, the reading commands in the menu bar, and the popup menu
// (`mnuPopup`) with the reading places. Clicking or moving the caret in the text moves
// the reading place there. The reading keys (F1 ...) are ReadingKeys, which the program
// installs on this window as on its others.
//
// The Vocimar profile is the tray reader's window: its own menu bar, no topics, no popup,
// no help, and a close box that hands the window back to the tray.
class ReaderWindow final : public QMainWindow {
    Q_OBJECT
public:
    // The reading engine and the open book the window works with.
    struct Parts {
        settings::Settings& settings;
        ReaderState& state;
        SentenceReader& reader;
        CharacterHost& host;
        platform::Dialogs& dialogs;
        const store::BookStore* store = nullptr; // the open book; none in Vocimar
    };
    struct Files {
        std::function<QString()> helpFile; // looks help.dat up, at each opening of the help
        QString charactersFolder;          // where the options window's "Browse" starts
        // The page text choices the options window shows (Folimar); empty: none shown.
        QString recognitionSettings{};
        // Where "Save as Audio" keeps the folder it last saved into.
        QString audioExportSettings{};
    };
    // Calls to windows this one cannot see; an empty hook does nothing.
    struct Hooks {
        // QuitRequested was set: the program is to save its settings and end.
        std::function<void()> quitRequested;
        // Goto/Back with unstored edits: "Add to Topic ???", a beep, the topic manager shown.
        std::function<void()> markAddToTopic;
        // Goto/Back past the last topic: the last list entry de-selected (muted), the number
        // and name boxes set for a new topic, the page picture cleared, the book window's
        // caption emptied. The reader text is emptied by the window.
        std::function<void()> blankPageAfterLast;
        // The About window; a plain box with the program's name and version until then.
        std::function<void()> showAbout;
        // Vocimar: "&Find" opens the find window for the whole text.
        std::function<void()> findInDoc;
        // Vocimar: Play sets the tray's resume-on-show flag, Stop clears it.
        std::function<void(bool)> setResumeOnShow;
        // Vocimar: the close box hands the window back to the tray (hides it when empty).
        std::function<void()> closeToTray;
        // Folimar: every topic's number, name and text, for saving the book as sound.
        std::function<QList<store::TopicPage>()> bookTopics{};
        // Folimar: the walk to the next (true) or previous doubtful word, and the word at
        // the caret added to the book's own words.
        std::function<void(bool forward)> walkDoubtful{};
        std::function<void()> addToBookWords{};
    };

    ReaderWindow(ReaderProfile profile, Parts parts, Files files, Hooks hooks,
                 QWidget* parent = nullptr);
    ~ReaderWindow() override;

    QTextEdit* Text1 = nullptr;
    QTextEdit* text2 = nullptr; // hidden scratch box of the find commands

    // The topic list Goto and Back select in (the topic manager's).
    void setTopicList(TopicList* topics);
    // The book window, which follows the reader's size while both are in their normal state.
    void setPartnerWindow(QWidget* partner) { partner_ = partner; }

    // Restores the saved place, or places the window by the arrangement (Vocimar: centred).
    void placeAtLoad();
    void rememberGeometry();
    // The caption names the open book's file.
    void setBookCaption(const QString& bookPath);
    // Shows a text the program loads (a topic's page, a blank page): not an edit. Any other
    // change of the text, however it is made, marks the topic edited.
    void loadText(const QString& text);

    TextEditBox& textBox() { return *textBox_; }
    ReadingPlaces& places() { return *places_; }

    // The menu commands that are more than one call.
    void ClearText();
    void PasteText();
    // The clipboard's text (see SafePaste.h) as the whole text, read from its top; a text
    // too long to take is refused with a word.
    PasteOutcome pasteWholeText(const QMimeData* data);
    // Replaces the whole text with `text` as a paste does (the reader's undo takes it
    // back) and marks the page edited.
    void replaceTextAsPasted(const QString& text);
    void showOptions();
    void showHelp();
    void showAbout();
    // "Save as Audio": the page, the book or some of its topics (Vocimar: the text) as sound.
    void showAudioExport();
    // The popup menu with the reading places (also opened from the book window).
    void showPopup(const QPoint& globalPos);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addCommand(QWidget* menu, const char* name, const QString& caption,
                        std::function<void()> action);
    void buildFolimarMenus();
    void buildVocimarMenus();
    void buildProofreadingMenu(QMenuBar& bar);
    void textKeyReleased(const QKeyEvent& key);
    void textClicked();
    void markEdited();
    void refusePaste();
    void requestQuit();
    void dockPartner();

    ReaderProfile profile_;
    Parts parts_;
    Files files_;
    Hooks hooks_;
    std::unique_ptr<TextEditBox> textBox_;
    std::unique_ptr<ReadingPlaces> places_;
    QMenu* mnuPopup = nullptr;
    QPointer<QWidget> partner_;
    QPointer<OptionsWindow> options_;
    QPointer<HelpViewer> help_;
    QPointer<AudioExportWindow> audioExport_;
    bool loaded_ = false;
    bool loadingText_ = false;
};

} // namespace folimar::reader
