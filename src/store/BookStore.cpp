#include "store/BookStore.h"

#include "platform/database/ConnectString.h"
#include "platform/database/SyncedFiles.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/paths/PathNames.h"
#include "settings/Settings.h"
#include "store/BookSchema.h"
#include "store/CompactionCopies.h"
#include "store/StoreLog.h"
#include "store/WriteProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <future>
#include <sys/stat.h>

namespace folimar::store {

using database::OpenMode;
using database::Statement;
using database::StatementScope;
using database::Status;
using database::View;
using database::ViewKind;

namespace {

bool fileExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

OpenMode modeFor(bool writable) { return writable ? OpenMode{false, false} : OpenMode{true, true}; }

// Creates a file with one table; false (and no file) when that fails.
bool createFile(database::Workspace& workspace, const QString& path,
                const database::TableDef& table) {
    Status status;
    std::unique_ptr<database::Database> created =
        workspace.createDatabase(path, schema::CreateConnect, &status);
    if (created)
        status = created->appendTable(table);
    if (!status) {
        qCWarning(lcStore) << "cannot create" << path << status.message();
        if (created)
            created->close();
        QFile::remove(path);
        return false;
    }
    return created->close().isOk();
}

} // namespace

struct BookStore::NotesOpening {
    std::unique_ptr<database::Database> database;
    std::unique_ptr<View> table;
};

BookStore::BookStore(settings::Settings& settings, StoreLocations locations,
                     platform::Dialogs& dialogs)
    : settings_(settings), locations_(std::move(locations)), dialogs_(dialogs) {}

BookStore::~BookStore() {
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

void BookStore::StartStore() { LoadBook(); }

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
    const QString bookPath = settings_.BookPath;
    OpenElsewhere = !lockBook(bookPath);
    const bool writable = !OpenElsewhere && passesWriteProbe(bookPath);

    // Each file's key derivation takes a noticeable while: derive the notes file's key
    // on a second thread while this one opens the book.
    std::future<NotesOpening> notesOpening = beginOpenNotes(!OpenElsewhere);

    Status status;
    // A book another program holds is read beside it, never locked away from it.
    const OpenMode mode = OpenElsewhere ? OpenMode{false, true} : modeFor(writable);
    book_ = workspace_.openDatabase(bookPath, mode, schema::OpenConnect, &status);
    // The engine quietly opens a file it may not write as read-only: go by what it got.
    const bool gotWritable = writable && book_ && !book_->isReadOnly();
    if (book_) {
        const ViewKind tableKind = gotWritable ? ViewKind::Table : ViewKind::Snapshot;
        bookTable_ = book_->openTable(schema::Table, tableKind, &status);
        if (bookTable_)
            bookByName_ = book_->openQuery(schema::ByNameQuery,
                                           gotWritable ? ViewKind::Dynaset : ViewKind::Snapshot,
                                           &status);
    }
    if (!bookTable_ || !bookByName_) {
        // Not a book (or another password): nothing may be written to it.
        qCWarning(lcStore) << "cannot open book" << bookPath << status.message();
        closeBook();
        ReadOnlyMode = true;
    } else {
        ReadOnlyMode = !gotWritable;
    }

    adoptNotes(notesOpening.get());
}

bool BookStore::lockBook(const QString& path) {
    if (bookLock_ && bookLock_->path() == path)
        return true;
    bookLock_.reset();
    database::FileLock::Outcome outcome{};
    bookLock_ = database::FileLock::acquire(path, &outcome);
    return outcome != database::FileLock::Outcome::HeldElsewhere;
}

void BookStore::OpenNotes() { adoptNotes(beginOpenNotes(!OpenElsewhere).get()); }

std::future<BookStore::NotesOpening> BookStore::beginOpenNotes(bool mayWrite) {
    if (!fileExists(settings_.BookPath))
        dialogs_.inform(QStringLiteral("1st save your file"), QStringLiteral("Folimar"));
    closeNotes();
    NotesPath = notesPathFor(settings_.BookPath);
    QDir().mkpath(locations_.NotesFolder);
    return std::async(std::launch::async, &BookStore::prepareNotes, std::ref(workspace_),
                      NotesPath, mayWrite);
}

void BookStore::adoptNotes(NotesOpening opening) {
    notes_ = std::move(opening.database);
    notesTable_ = std::move(opening.table);
}

// Runs on a worker thread: touches nothing but its arguments.
BookStore::NotesOpening BookStore::prepareNotes(database::Workspace& workspace,
                                                const QString& notesPath, bool mayWrite) {
    NotesOpening opening;
    if (!fileExists(notesPath) &&
        (!mayWrite || !createFile(workspace, notesPath, schema::notesTable())))
        return opening;
    const bool writable = mayWrite && passesWriteProbe(notesPath);
    Status status;
    // The notes of a book another program holds are read beside it.
    const OpenMode mode = mayWrite ? modeFor(writable) : OpenMode{false, true};
    opening.database = workspace.openDatabase(notesPath, mode, schema::OpenConnect, &status);
    if (opening.database)
        opening.table = opening.database->openTable(
            schema::Table, writable ? ViewKind::Table : ViewKind::Snapshot, &status);
    if (opening.table && writable)
        status = opening.table->setIndex(schema::NoIdx);
    if (!opening.table) {
        qCWarning(lcStore) << "cannot open notes" << notesPath << status.message();
        opening.database.reset();
    }
    return opening;
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
    std::unique_ptr<database::Database> book = workspace_.openDatabase(
        settings_.BookPath, OpenMode{}, schema::OpenConnect, &status);
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
