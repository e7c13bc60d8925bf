#pragma once

#include "topics/BookExports.h"

#include <QMainWindow>

#include <functional>
#include <optional>

class QAction;
class QPlainTextEdit;

namespace folimar::topics {

struct TopicListState;

// The notes window (`Form4`): the user's note on the topic shown, stored at every change,
// and the menus that write the three text exports. Closing it (or Esc) only hides it.
class NotesWindow final : public QMainWindow {
    Q_OBJECT
public:
    // The topic a typed note belongs to: the topic manager's number and name boxes, or
    // none while no list entry is current.
    struct NoteTarget {
        QString number;
        QString name;
    };
    using CurrentTopic = std::function<std::optional<NoteTarget>()>;

    NotesWindow(store::BookStore& store, const platform::ProgramLocations& locations,
                platform::Dialogs& dialogs, TopicListState& listState,
                CurrentTopic currentTopic, QWidget* parent = nullptr);

    // Shows the note of the topic named `topicName` (empty for none) without storing it.
    void loadNote(const QString& topicName, const QString& note);

    QPlainTextEdit* Text1 = nullptr;
    QAction* mnuSummary = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuIndex = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void storeNote();

    store::BookStore& store_;
    TopicListState& listState_;
    CurrentTopic currentTopic_;
    BookExports exports_;
};

} // namespace folimar::topics
