#include "topics/NotesWindow.h"

#include "store/BookStore.h"
#include "topics/TopicListState.h"
#include "topics/TopicNumbers.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>

namespace folimar::topics {

NotesWindow::NotesWindow(store::BookStore& store, const platform::ProgramLocations& locations,
                         platform::Dialogs& dialogs, TopicListState& listState,
                         CurrentTopic currentTopic, QWidget* parent)
    : QMainWindow(parent), store_(store), listState_(listState),
      currentTopic_(std::move(currentTopic)), exports_(store, locations, dialogs) {
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

void NotesWindow::loadNote(const QString& topicName, const QString& note) {
    setWindowTitle(topicName + QStringLiteral(" : Notes : "));
    listState_.LoadingNotes = true;
    Text1->setPlainText(note);
    listState_.LoadingNotes = false;
}

void NotesWindow::storeNote() {
    if (listState_.LoadingNotes || !currentTopic_)
        return;
    const std::optional<NoteTarget> target = currentTopic_();
    if (!target)
        return;
    const std::optional<qint64> number = NumberIn(target->number);
    if (!number || !FitsTopicNo(*number))
        return; // a note is kept under a topic number only
    store_.writeNote(int(*number), target->name, Text1->toPlainText());
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
