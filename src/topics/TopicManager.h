#pragma once

#include "reader/TopicList.h"
#include "store/TopicRecords.h"
#include "topics/TopicNavigation.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace folimar::platform {
class Dialogs;
struct ProgramLocations;
} // namespace folimar::platform
namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}
namespace folimar::reader {
class CharacterHost;
class SentenceReader;
struct ReaderState;
} // namespace folimar::reader

namespace folimar::topics {

class NotesWindow;
class PageView;
class TopicListBox;
struct TopicListState;

// The topic manager (`Form3`): the list of the book's topics in TopicNo order, through
// which every topic is shown (selecting an entry runs ShowTopic), and the commands that
// change the set of topics. Closing it only hides it; it owns the notes window (`Form4`).
class TopicManager final : public QWidget, public TopicNavigation, public reader::TopicList {
    Q_OBJECT
public:
    // What the topic manager works on; all outlive it.
    struct Parts {
        store::BookStore& store;
        settings::Settings& settings;
        const platform::ProgramLocations& locations;
        reader::ReaderState& readerState;
        reader::SentenceReader& reader;
        reader::CharacterHost& host;
        platform::Dialogs& dialogs;
        TopicListState& listState;
        PageView& page;
    };
    // Calls to windows this one cannot see; an empty hook does nothing.
    struct Hooks {
        std::function<void(const QString& text)> setReaderText; // the reader window's text
        std::function<QString()> readerText;
        std::function<void(int position)> placeReaderCaret; // selection start, then focus
        std::function<void(QWidget* window)> installReadingKeys; // the shared F-key map
        std::function<void(const QPoint& globalPos)> showReaderPopup;
        // Shows Find modeless with its find box selected and focused; `findText`, when not
        // empty, goes into the find box first.
        std::function<void(bool findOnPage, const QString& findText)> openFind;
        std::function<void()> findNext;
        std::function<void()> showReplace;
    };

    TopicManager(Parts parts, Hooks hooks, QWidget* parent = nullptr);
    ~TopicManager() override;

    // ---- The list.
    void Doors_refresh() override;
    void refreshKeepingShown() override;
    void ShowTopic();
    void LockTopicList() override;
    void UnlockTopicList() override;
    void ClearPagePicture();
    // A blank page after the last topic: nothing selected, no text, picture, note or
    // caption, the number and name boxes holding the next topic's number.
    void showBlankPageAfterLast();

    // ---- The commands of the buttons.
    void addEdit();     // Site_Add, Enter in Text2
    void deleteTopics(); // Site_del
    void insertTopic(); // SSCommand3
    void renumberTopics(); // SSCommand7
    void gotoTopic();   // SSCommand8
    void showTopicsView(); // SSCommand1
    void showIndexView();  // SSCommand2
    void openFind(bool findOnPage); // SSCommand5 (on page), SSCommand4 (in the book)
    void showNotes();   // SSCommand6

    // Loading: centred, the list rebuilt from the book, the saved topic and reading place
    // restored. Unloading (a book switch) empties it until the next load.
    void loadWindow();
    void unloadWindow();

    NotesWindow& notesWindow() const { return *Form4; }

    // ---- TopicNavigation (the book window).
    int entryCount() const override;
    int topicNoAt(int index) const override;
    void selectEntry(int index) override;
    void deselectEntryMuted(int index) override;
    void showNoTopic() override;
    void setNumberAndName(const QString& number, const QString& name) override;
    void askToAddTopic() override;
    void markTopicStored() override;
    void showTopicManager() override;
    QString numberText() const override;
    QString nameText() const override;
    void showStoredPage(int topicNo) override;
    void loadTopicManager() override { loadWindow(); }
    void unloadTopicManager() override { unloadWindow(); }

    // ---- reader::TopicList (the play loop).
    int count() const override { return entryCount(); }
    void deselectCurrent() override;
    void select(int index) override { selectEntry(index); }

    TopicListBox* DispLstBx = nullptr;
    QComboBox* DBCombo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* SSFrame6 = nullptr;
    QPushButton* SSCommand1 = nullptr;
    QPushButton* SSCommand2 = nullptr;
    QPushButton* SSCommand4 = nullptr;
    QPushButton* SSCommand5 = nullptr;
    QPushButton* SSCommand6 = nullptr;
    QPushButton* Site_Add = nullptr;
    QPushButton* Site_del = nullptr;
    QPushButton* SSCommand3 = nullptr;
    QPushButton* SSCommand7 = nullptr;
    QPushButton* SSCommand8 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void setEditingEnabled(bool enabled);
    bool mayEditBook();
    QString firstRecordOwner();
    bool refuseOutOfRange(qint64 number);
    void pickFromIndex(int comboIndex);
    void fillIndex();
    std::optional<store::TopicPage> seekShownTopic();
    void showPage(const store::TopicPage& page);
    void showNote(const store::TopicPage& page);
    void showPicture(const QByteArray& jpeg);
    void pauseForTopicChange();
    // Entry `row` becomes the one shown: the only one selected, its number, name and the
    // book window's caption, the list position; the page itself is not loaded.
    void markShown(int row);
    // The selection goes back to the entry of the page shown (none on a blank page).
    void keepShownSelection();

    void restoreReadingPlace();
    void setReaderText(const QString& text);
    void removeWorkingPictures();

    Parts parts_;
    Hooks hooks_;
    std::unique_ptr<NotesWindow> Form4;
    bool indexView_ = false;
    bool locked_ = false;
    bool indexStale_ = true; // the name list is refilled when the index is next shown
    bool notesPlaced_ = false;
};

} // namespace folimar::topics
