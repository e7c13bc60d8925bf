#include "bookwindow/BookFileCommands.h"

#include "platform/character/Character.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/paths/PathNames.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "topics/PageView.h"
#include "topics/TopicNavigation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace folimar::bookwindow {

namespace {

const QString DirtyTitle = QStringLiteral("First update your current topic");
const QString UntitledTitle = QStringLiteral("First save your file");
const QString OpenPrompt = QStringLiteral("Are you Sure you want to Open?");

} // namespace

BookFileCommands::BookFileCommands(Parts parts, Hooks hooks)
    : p_(std::move(parts)), hooks_(std::move(hooks)) {}

// ---- Questions and dialogs

bool BookFileCommands::confirmLeaving(const QString& dirtyPrompt, const QString& untitledPrompt) {
    if (p_.state.TopicDirty && !p_.dialogs.confirm(dirtyPrompt, DirtyTitle))
        return false;
    return !untitledHoldsTopics() || p_.dialogs.confirm(untitledPrompt, UntitledTitle);
}

bool BookFileCommands::untitledHoldsTopics() const {
    return isUntitled(p_.settings.BookPath) && p_.topics.entryCount() > 0;
}

bool BookFileCommands::isUntitled(const QString& path) const {
    return !path.isEmpty() && QDir::cleanPath(path) == QDir::cleanPath(p_.store.untitledBookPath());
}

// The untitled book goes when another book replaces it, and its notes with it, so the
// next untitled book starts without them.
void BookFileCommands::discardIfUntitled(const QString& path) {
    if (!isUntitled(path))
        return;
    QFile::remove(path);
    QFile::remove(p_.store.notesPathFor(path));
}

// The chosen file, or empty when the dialog was cancelled; the next dialog starts in the
// chosen file's folder. A book is saved under a name of its own, with the book extension,
// and never over another file.
QString BookFileCommands::askForBook(BookDialog dialog) {
    platform::FileDialogRequest request{QStringLiteral("Open"), p_.lastFolder, QString(),
                                        QStringLiteral("Book Files (*.fmr)"), true};
    QString chosen;
    switch (dialog) {
    case BookDialog::Open:
        chosen = p_.dialogs.openFileName(request);
        break;
    case BookDialog::Merge:
        request.title = QStringLiteral("Merge the Topics of a Book");
        chosen = p_.dialogs.openFileName(request);
        break;
    case BookDialog::SaveAs:
        request.title = QStringLiteral("Save As");
        request.confirmOverwrite = false; // refused in the dialog instead
        chosen = p_.dialogs.saveNewFileName(request, QStringLiteral("Cant Overwrite"));
        if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty())
            chosen += QStringLiteral(".fmr");
        break;
    }
    if (!chosen.isEmpty())
        p_.lastFolder = platform::FolderOf(chosen);
    return chosen;
}

bool BookFileCommands::refusedWhileImporting(const QString& command) {
    if (!p_.store.importingIntoOpenBook())
        return false;
    p_.dialogs.inform(
        QStringLiteral("Can't %1 while pages are being imported into this book").arg(command),
        QStringLiteral("Folimar"), platform::MessageIcon::Exclamation);
    return true;
}

void BookFileCommands::showError(int number, const QString& description) {
    p_.dialogs.inform(QStringLiteral("Error %1 : %2").arg(number).arg(description),
                      QStringLiteral("Error"), platform::MessageIcon::Critical);
}

// ---- The steps the commands share

void BookFileCommands::pauseReading() {
    if (p_.state.Paused)
        return;
    p_.state.Paused = true;
    if (character::Character* character = p_.host.character())
        character->stop();
}

void BookFileCommands::rememberPrevious() {
    settings::Settings& settings = p_.settings;
    settings.PrevBookPath = settings.BookPath;
    settings.PrevTopicIndex = settings.TopicIndex;
    settings.PrevReadPos = settings.ReadPos;
}

void BookFileCommands::unloadAndClose() {
    p_.topics.unloadTopicManager();
    p_.store.BookOwner.clear();
    p_.store.CloseAndCompactBook();
}

// The topic manager loads again, hidden, on the new book (which restores TopicIndex and
// ReadPos); the reader window names the book. A book another program holds is read-only
// here, and the user is told so.
void BookFileCommands::afterLoad() {
    p_.topics.loadTopicManager();
    if (hooks_.setReaderCaption)
        hooks_.setReaderCaption(platform::FileNameOf(p_.settings.BookPath));
    if (const std::optional<platform::MessageRequest> notice = p_.store.openElsewhereNotice())
        p_.dialogs.message(*notice);
}

void BookFileCommands::switchBooks(const QString& oldPath, Position position) {
    p_.store.prepareOpening(p_.settings.BookPath); // while the book left is compacted
    p_.page.ClearPagePicture();
    p_.page.setPageCaption(QString());
    if (hooks_.setReaderText)
        hooks_.setReaderText(QString());
    unloadAndClose();
    discardIfUntitled(oldPath);
    p_.store.LoadBook();
    if (position == Position::Reset) {
        p_.settings.TopicIndex = 0;
        p_.settings.ReadPos = 0;
        p_.state.JumpPos = 0;
    }
    afterLoad();
    resumeAtNewBook();
}

// A running play loop goes on in the new book, at the jump position.
void BookFileCommands::resumeAtNewBook() {
    reader::ReaderState& state = p_.state;
    state.RequestDone = true;
    state.JumpPending = true;
    state.UserMoved = true;
    state.Paused = false;
    p_.reader.flagsChanged();
    if (hooks_.activateReader)
        hooks_.activateReader();
}

// ---- Open, New, Prev and the handed-over book

void BookFileCommands::openBook() {
    if (refusedWhileImporting(QStringLiteral("Open")) || !confirmLeaving(OpenPrompt, OpenPrompt))
        return;
    const QString chosen = askForBook(BookDialog::Open);
    if (chosen.isEmpty())
        return;
    pauseReading();
    const QString oldPath = p_.settings.BookPath;
    rememberPrevious();
    p_.settings.BookPath = chosen;
    switchBooks(oldPath, Position::Reset);
}

void BookFileCommands::openHandedOverBook(const QString& path) {
    // A book moved or deleted since the later start named it: said, and the book shown stays.
    if (!QFileInfo::exists(path)) {
        p_.dialogs.inform(
            QStringLiteral("%1 cannot be opened as a book: there is no such file.").arg(path),
            QStringLiteral("Folimar"), platform::MessageIcon::Exclamation);
        return;
    }
    // An import writing into the book shown goes on unless the user chooses to stop it; the
    // pages it stored stay in the book.
    const bool importing = p_.store.importingIntoOpenBook();
    if (importing &&
        !p_.dialogs.confirm(QStringLiteral("Pages are being imported into this book. Stop the "
                                           "import, keeping the pages imported so far, and "
                                           "open %1?")
                                .arg(platform::FileNameOf(path)),
                            QStringLiteral("Folimar")))
        return;
    if (!confirmLeaving(OpenPrompt, OpenPrompt))
        return;
    if (importing && hooks_.stopImport)
        hooks_.stopImport();
    if (refusedWhileImporting(QStringLiteral("Open ") + platform::FileNameOf(path)))
        return;
    rememberPrevious();
    pauseReading();
    const QString oldPath = p_.settings.BookPath;
    p_.settings.BookPath = path;
    p_.lastFolder = platform::FolderOf(path);
    switchBooks(oldPath, Position::Reset);
}

void BookFileCommands::previousBook() {
    if (refusedWhileImporting(QStringLiteral("Switch books")) ||
        !confirmLeaving(QStringLiteral("Are you Sure you want to Switch"),
                        QStringLiteral("Are you Sure you want to Switch?")))
        return;
    pauseReading();
    settings::Settings& settings = p_.settings;
    const QString leftPath = settings.BookPath;
    const qint16 leftTopicIndex = settings.TopicIndex;
    const qint32 leftReadPos = settings.ReadPos;

    settings.BookPath = settings.PrevBookPath;
    settings.TopicIndex = settings.PrevTopicIndex;
    settings.ReadPos = settings.PrevReadPos;
    p_.state.JumpPos = settings.PrevReadPos;
    p_.lastFolder = platform::FolderOf(settings.BookPath);
    switchBooks(leftPath, Position::Keep);

    settings.PrevBookPath = leftPath;
    settings.PrevTopicIndex = leftTopicIndex;
    settings.PrevReadPos = leftReadPos;
}

// New neither pauses reading nor touches the reader's jump flags.
void BookFileCommands::newBook() {
    const QString prompt = QStringLiteral("Are you Sure you want a New File?");
    if (refusedWhileImporting(QStringLiteral("start a New book")) ||
        !confirmLeaving(prompt, prompt))
        return;
    p_.page.ClearPagePicture();
    p_.page.setPageCaption(QString());
    if (hooks_.setReaderText)
        hooks_.setReaderText(QString());
    unloadAndClose();
    rememberPrevious();
    settings::Settings& settings = p_.settings;
    discardIfUntitled(settings.BookPath);
    settings.BookPath = p_.store.untitledBookPath();
    p_.store.LoadBook();
    settings.TopicIndex = 0;
    settings.ReadPos = 0;
    afterLoad();
    for (const char* name : {"/temp.jpg", "/temp.bmp"})
        QFile::remove(p_.programFolder + QLatin1String(name));
}

void BookFileCommands::Doors_refresh3() {
    p_.topics.Doors_refresh();
}

} // namespace folimar::bookwindow
