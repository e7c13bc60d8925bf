#include "topics/NotesWindow.h"

#include "store/BookStore.h"
#include "topics/StoreFailure.h"
#include "topics/TopicListState.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>

namespace folimar::topics {

NotesWindow::NotesWindow(store::BookStore& store, const platform::ProgramLocations& locations,
                         platform::Dialogs& dialogs, TopicListState& listState, QWidget* parent)
    : QMainWindow(parent), store_(store), dialogs_(dialogs), listState_(listState),
      exports_(store, locations, dialogs) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Notes:"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->installEventFilter(this);
    setCentralWidget(Text1); // fills the inner area at every size

    mnuSummary = menuBar()->addAction(QStringLiteral("&Summary"));
    mnuSummary->setObjectName(QStringLiteral("mnuSummary"));
    mnuContents = menuBar()->addAction(QStringLiteral("&Contents"));
    mnuContents->setObjectName(QStringLiteral("mnuContents"));
    mnuIndex = menuBar()->addAction(QStringLiteral("&Index"));
    mnuIndex->setObjectName(QStringLiteral("mnuIndex"));

    connect(Text1, &QPlainTextEdit::textChanged, this, &NotesWindow::storeNote);
    connect(mnuSummary, &QAction::triggered, this, [this] { exports_.exportSummary(); });
    connect(mnuContents, &QAction::triggered, this, [this] { exports_.exportContents(); });
    connect(mnuIndex, &QAction::triggered, this, [this] { exports_.exportIndex(); });

    resize(400, 300);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
}

void NotesWindow::loadNote(int topicNo, const QString& topicName, const QString& note) {
    target_ = NoteTarget{topicNo, topicName};
    failureTold_ = false;
    setWindowTitle(topicName + QStringLiteral(" : Notes : "));
    listState_.LoadingNotes = true;
    Text1->setPlainText(note);
    listState_.LoadingNotes = false;
    Text1->setEnabled(true);
}

void NotesWindow::showNoTopic() {
    target_.reset();
    setWindowTitle(QStringLiteral("Notes:"));
    listState_.LoadingNotes = true;
    Text1->clear();
    listState_.LoadingNotes = false;
    Text1->setEnabled(false);
}

void NotesWindow::storeNote() {
    if (listState_.LoadingNotes || !target_)
        return;
    const database::Status status =
        store_.writeNote(target_->topicNo, target_->name, Text1->toPlainText());
    // The note stays in the box; it is said once, not at every key, until a write succeeds.
    if (!status && !failureTold_)
        TellStoreFailure(dialogs_, QStringLiteral("The note"), status);
    failureTold_ = !status;
}

void NotesWindow::closeEvent(QCloseEvent* event) {
    hide();
    event->ignore();
}

bool NotesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        hide();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace folimar::topics
