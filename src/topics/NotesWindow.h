#pragma once

#include "topics/BookExports.h"

#include <QMainWindow>

#include <optional>

class QAction;
class QPlainTextEdit;

namespace folimar::topics {

struct TopicListState;

// The notes window (`Form4`): the user's note on the topic shown, stored at every change
// (a change the book refuses is said, and stays in the box),
// and the menus that write the three text exports. Closing it (or Esc) only hides it.
// What is typed goes to the topic whose note was loaded last, the one its caption names;
// with no topic shown it is empty and takes nothing.
class NotesWindow final : public QMainWindow {
    Q_OBJECT
public:
    NotesWindow(store::BookStore& store, const platform::ProgramLocations& locations,
                platform::Dialogs& dialogs, TopicListState& listState, QWidget* parent = nullptr);

    // Shows the note of the topic shown, without storing it; what is typed next is its note.
    void loadNote(int topicNo, const QString& topicName, const QString& note);
    // No topic is shown: the window empties and takes no typing.
    void showNoTopic();

    QPlainTextEdit* Text1 = nullptr;
    QAction* mnuSummary = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuIndex = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void storeNote();

    // The topic whose note is shown.
    struct NoteTarget {
        int topicNo = 0;
        QString name;
    };

    store::BookStore& store_;
    platform::Dialogs& dialogs_;
    TopicListState& listState_;
    std::optional<NoteTarget> target_;
    bool failureTold_ = false; // the last write of this note failed and the user was told
    BookExports exports_;
};

} // namespace folimar::topics
