#include "store/BookFiles.h"

#include "store/BookSchema.h"
#include "store/StoreLog.h"
#include "store/WriteProbe.h"

#include <QFile>
#include <QFileInfo>

namespace folimar::store {

using database::Status;
using database::ViewKind;

std::unique_ptr<database::Database> createFile(database::Workspace& workspace, const QString& path,
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
        return nullptr;
    }
    return created;
}

OpenedBook openBookFile(database::Workspace& workspace, const QString& path,
                        database::OpenMode mode, bool writable) {
    OpenedBook book;
    book.database = workspace.openDatabase(path, mode, schema::OpenConnect, &book.status);
    // The engine quietly opens a file it may not write as read-only: go by what it got.
    book.writable = writable && book.database && !book.database->isReadOnly();
    if (!book.database)
        return book;
    book.table = book.database->openTable(
        schema::Table, book.writable ? ViewKind::Table : ViewKind::Snapshot, &book.status);
    if (book.table)
        book.byName = book.database->openQuery(
            schema::ByNameQuery, book.writable ? ViewKind::Dynaset : ViewKind::Snapshot,
            &book.status);
    return book;
}

OpenedNotes openNotesFile(database::Workspace& workspace, const QString& path, bool mayWrite) {
    OpenedNotes notes;
    const bool existed = QFileInfo(path).isFile();
    if (!existed && mayWrite)
        notes.database = createFile(workspace, path, schema::notesTable());
    if (!existed && !notes.database)
        return notes;
    const bool writable = mayWrite && passesWriteProbe(path);
    Status status;
    // A file just made here stays open as it was made, without deriving its key again.
    if (!writable || !notes.database) {
        notes.database.reset();
        // The notes of a book another program holds are read beside it.
        const database::OpenMode mode =
            mayWrite ? modeFor(writable) : database::OpenMode{false, true};
        notes.database = workspace.openDatabase(path, mode, schema::OpenConnect, &status);
    }
    if (notes.database)
        notes.table = notes.database->openTable(
            schema::Table, writable ? ViewKind::Table : ViewKind::Snapshot, &status);
    if (notes.table && writable)
        status = notes.table->setIndex(schema::NoIdx);
    if (!notes.table) {
        qCWarning(lcStore) << "cannot open notes" << path << status.message();
        notes.database.reset();
    }
    return notes;
}

} // namespace folimar::store
