#include "store/BookStore.h"

#include "platform/database/ConnectString.h"
#include "platform/database/SyncedFiles.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/paths/PathNames.h"
#include "settings/Settings.h"
#include "store/BookFiles.h"
#include "store/BookSchema.h"
#include "store/CompactionCopies.h"
#include "store/StoreLog.h"
#include "store/WriteProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <utility>

namespace folimar::store {

using database::OpenMode;
using database::Statement;
using database::StatementScope;
using database::Status;
using database::View;
using database::ViewKind;

namespace {

bool fileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

BookStore::BookStore(settings::Settings& settings, StoreLocations locations,
                     platform::Dialogs& dialogs)
    : settings_(settings), locations_(std::move(locations)), dialogs_(dialogs) {}

BookStore::~BookStore() {
    ahead_.reset();
    CloseMergeSource();
    closeNotes();
    closeBook();
}

QString BookStore::untitledBookPath() const {
    return locations_.ProgramFolder + QStringLiteral("/untitled.fmr");
}

QString BookStore::notesPathFor(const QString& book) const {
    return locations_.NotesFolder + QLatin1Char('/') + platform::BaseNameOf(book) +
           QStringLiteral(".nts");
}

void BookStore::StartStore() {
    LoadBook();
}

void BookStore::LoadBook() {
    QString& bookPath = settings_.BookPath;
    if (!fileExists(bookPath))
        bookPath = untitledBookPath();
    OpenedBookPath = bookPath;
    if (!fileExists(bookPath)) {
        createFile(workspace_, bookPath, schema::bookTable());
        CloseAndCompactBook();
    }
    OpenBook();
}

void BookStore::OpenBook() {
    ReadOnlyMode = false;
    BookModified = false;
    closeBook();
    std::optional<Opening> ahead = std::exchange(ahead_, std::nullopt);
    if (ahead && ahead->path == settings_.BookPath) {
        adoptOpening(std::move(*ahead));
        return;
    }
    ahead.reset();
    adoptOpening(startOpening(settings_.BookPath, false));
}

// Opening a file derives its key, which takes a while: a switch to another book derives
// the new book's keys while the book it leaves is compacted. Both must be other files
// than the ones compacted.
void BookStore::prepareOpening(const QString& path) {
    ahead_.reset();
    if (!fileExists(path) || notesPathFor(path) == NotesPath)
        return;
    const QString next = QFileInfo(path).canonicalFilePath();
    if (next.isEmpty() || next == QFileInfo(OpenedBookPath).canonicalFilePath())
        return;
    ahead_ = startOpening(path, true);
}

// Takes the lock, then opens the book (on a worker thread when `ahead`, on this one
// otherwise) while the notes file opens on a worker thread.
BookStore::Opening BookStore::startOpening(const QString& path, bool ahead) {
    Opening opening;
    opening.path = path;
    if (bookLock_ && bookLock_->path() == path) {
        opening.lock = std::move(bookLock_);
    } else {
        if (!ahead)
            bookLock_.reset(); // the book being left is closed by now
        database::FileLock::Outcome outcome{};
        opening.lock = database::FileLock::acquire(path, &outcome);
        opening.elsewhere = outcome == database::FileLock::Outcome::HeldElsewhere;
    }
    const bool writable = !opening.elsewhere && passesWriteProbe(path);
    if (ahead) {
        opening.notesPath = notesPathFor(path);
        QDir().mkpath(locations_.NotesFolder);
        opening.notes = std::async(std::launch::async, &openNotesFile, std::ref(workspace_),
                                   opening.notesPath, !opening.elsewhere);
    } else {
        opening.notes = beginOpenNotes(!opening.elsewhere);
        opening.notesPath = NotesPath;
    }
    // A book another program holds is read beside it, never locked away from it.
    const OpenMode mode = opening.elsewhere ? OpenMode{false, true} : modeFor(writable);
    opening.book = std::async(ahead ? std::launch::async : std::launch::deferred, &openBookFile,
                              std::ref(workspace_), path, mode, writable);
    return opening;
}

void BookStore::adoptOpening(Opening opening) {
    bookLock_ = std::move(opening.lock);
    OpenElsewhere = opening.elsewhere;
    OpenedBook book = opening.book.get();
    book_ = std::move(book.database);
    bookTable_ = std::move(book.table);
    bookByName_ = std::move(book.byName);
    if (!bookTable_ || !bookByName_) {
        // Not a book (or another password): nothing may be written to it.
        qCWarning(lcStore) << "cannot open book" << opening.path << book.status.message();
        closeBook();
        ReadOnlyMode = true;
    } else {
        ReadOnlyMode = !book.writable;
    }
    if (NotesPath != opening.notesPath) {
        closeNotes();
        NotesPath = opening.notesPath;
    }
    adoptNotes(opening.notes.get());
}

void BookStore::OpenNotes() {
    adoptNotes(beginOpenNotes(!OpenElsewhere).get());
}

std::future<OpenedNotes> BookStore::beginOpenNotes(bool mayWrite) {
    if (!fileExists(settings_.BookPath))
        dialogs_.inform(QStringLiteral("1st save your file"), QStringLiteral("Folimar"));
    closeNotes();
    NotesPath = notesPathFor(settings_.BookPath);
    QDir().mkpath(locations_.NotesFolder);
    return std::async(std::launch::async, &openNotesFile, std::ref(workspace_), NotesPath,
                      mayWrite);
}

void BookStore::adoptNotes(OpenedNotes opening) {
    notes_ = std::move(opening.database);
    notesTable_ = std::move(opening.table);
}

void BookStore::closeBook() {
    ++generation_;
    texts_.clear();
    notesAttached_ = false; // the attachment ends with the connection
    bookTable_.reset();
    bookByName_.reset();
    if (book_) {
        if (Status closed = book_->close(); !closed)
            qCWarning(lcStore) << "closing the book failed:" << closed.message();
        book_.reset();
    }
}

bool BookStore::attachNotes() {
    if (notesAttached_)
        return true;
    if (!book_ || !notes_ || notes_->isReadOnly() || !fileExists(NotesPath))
        return false;
    database::Connection& connection = book_->connection();
    Status status;
    if (Statement* attach =
            connection.cached(QStringLiteral("ATTACH DATABASE ?1 AS notes KEY ?2"), &status)) {
        StatementScope scope(attach);
        attach->bind(1, NotesPath);
        attach->bind(2, QString::fromUtf8(database::passwordOf(schema::OpenConnect)));
        attach->step(&status);
    }
    // The key is proved by the first read.
    if (status)
        connection.scalar(QStringLiteral("SELECT count(*) FROM notes.Sitedata"), &status);
    if (!status) {
        qCWarning(lcStore) << "cannot attach the notes" << NotesPath << status.message();
        connection.exec(QStringLiteral("DETACH DATABASE notes"));
        return false;
    }
    notesAttached_ = true;
    return true;
}

void BookStore::closeNotes() {
    notesTable_.reset();
    if (notes_) {
        if (Status closed = notes_->close(); !closed)
            qCWarning(lcStore) << "closing the notes failed:" << closed.message();
        notes_.reset();
    }
}

void BookStore::CloseMergeSource() {
    mergeTable_.reset();
    merge_.reset();
}

// Replaces the file by its compacted copy only once the copy is complete and on the
// disk; any failure leaves the file as it was and no copy behind. The copy is taken under
// an exclusive lock, so that no other program writes meanwhile; a file another program
// holds is left as it is.
void BookStore::compactFile(const QString& opened) {
    // A book reached through a symbolic link is compacted where it really lies, so that the
    // link keeps leading to it.
    const QString path = QFileInfo(opened).canonicalFilePath();
    if (path.isEmpty() || !passesWriteProbe(path))
        return;
    // The copy would take the place of one name only, cutting the file's other names off.
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && info.st_nlink > 1) {
        qCInfo(lcStore) << "not compacting" << path << "(it has" << info.st_nlink << "names)";
        return;
    }
    std::unique_ptr<database::FileLock> ownLock;
    if (!bookLock_ || bookLock_->path() != opened) {
        database::FileLock::Outcome outcome{};
        ownLock = database::FileLock::acquire(path, &outcome);
        if (!ownLock) {
            qCInfo(lcStore) << "not compacting" << path << "(held by another program)";
            return;
        }
    }
    removeLeftoverCopies(locations_.ProgramFolder);
    const QString copy = freshCopyName(locations_.ProgramFolder);
    Status status = workspace_.compactDatabase(path, copy, schema::Locale, schema::OpenConnect);
    if (status)
        status = database::replaceFile(copy, path);
    if (!status) {
        qCWarning(lcStore) << "compacting" << path << "failed:" << status.message();
        QFile::remove(copy);
        QFile::remove(copy + QStringLiteral("-journal"));
    }
}

void BookStore::CloseAndCompactBook() {
    closeBook();
    // A read-only book, or a file that did not open as a book, is never touched.
    if (fileExists(OpenedBookPath) && BookModified && !ReadOnlyMode)
        compactFile(OpenedBookPath);
    else
        CloseAndCompactNotes();
    bookLock_.reset();
}

void BookStore::CloseAndCompactNotes() {
    const bool opened = notes_ != nullptr;
    closeNotes();
    if (opened && fileExists(NotesPath) && NotesModified)
        compactFile(NotesPath);
}

void BookStore::OpenMergeSource() {
    CloseMergeSource();
    const bool writable = passesWriteProbe(MergePath);
    Status status;
    merge_ = workspace_.openDatabase(MergePath, modeFor(writable), schema::OpenConnect, &status);
    if (merge_)
        mergeTable_ = merge_->openTable(schema::Table,
                                        writable ? ViewKind::Table : ViewKind::Snapshot, &status);
    if (!mergeTable_) {
        qCWarning(lcStore) << "cannot open merge source" << MergePath << status.message();
        merge_.reset();
    }
}

void BookStore::AddMarkerFields() {
    if (ReadOnlyMode)
        return;
    closeBook();
    Status status;
    std::unique_ptr<database::Database> book =
        workspace_.openDatabase(settings_.BookPath, OpenMode{}, schema::OpenConnect, &status);
    for (QLatin1String marker : schema::MarkerFields) {
        if (!book)
            break;
        // A field that is there already stays as it is.
        status = book->appendField(schema::Table, {marker, database::FieldType::Text});
        if (!status && status.code() != database::errors::Exists)
            qCWarning(lcStore) << "cannot add field" << marker << status.message();
    }
    book.reset();
    OpenBook();
    if (bookTable_) {
        bookTable_->setIndex(schema::NoIdx);
        bookTable_->moveFirst();
    }
}

std::optional<platform::MessageRequest> BookStore::openElsewhereNotice() const {
    if (!OpenElsewhere || !hasBook())
        return std::nullopt;
    return platform::MessageRequest{QStringLiteral("This book is open in another Folimar window.\n"
                                                   "It is opened here as Read Only."),
                                    QStringLiteral("Folimar"), platform::MessageIcon::Information,
                                    platform::MessageButtons::Ok};
}

std::optional<platform::MessageRequest> BookStore::editRefusal() const {
    const QString title = QStringLiteral("Folimar");
    if (ReadOnlyMode)
        return platform::MessageRequest{QStringLiteral("File opened as Read Only"), title,
                                        platform::MessageIcon::Critical,
                                        platform::MessageButtons::Ok};
    if (!BookOwner.isEmpty() && BookOwner != settings_.UserName)
        return platform::MessageRequest{QStringLiteral("Cant edit another users document"), title,
                                        platform::MessageIcon::Critical,
                                        platform::MessageButtons::Ok};
    if (importingIntoOpenBook())
        return platform::MessageRequest{
            QStringLiteral("Pages are being imported into this book. You can read it "
                           "meanwhile; wait until the import ends, or cancel it, to edit."),
            title, platform::MessageIcon::Information, platform::MessageButtons::Ok};
    return std::nullopt;
}

bool BookStore::mayEdit() {
    const std::optional<platform::MessageRequest> refusal = editRefusal();
    if (refusal)
        dialogs_.message(*refusal);
    return !refusal;
}

} // namespace folimar::store
