#pragma once

#include "platform/database/Database.h"
#include "platform/database/TableDef.h"
#include "platform/database/View.h"
#include "platform/database/Workspace.h"

#include <QString>
#include <memory>

namespace folimar::store {

// Opening a book or notes file: the slow part of it (each file's key is derived on its
// first read) touches nothing but its arguments, so that it may run on a worker thread.

// Creates a file with one table and keeps it open; null (and no file) when that fails.
std::unique_ptr<database::Database> createFile(database::Workspace& workspace, const QString& path,
                                               const database::TableDef& table);

// A book file opened with its two views; both views are null when it is no book.
struct OpenedBook {
    std::unique_ptr<database::Database> database;
    std::unique_ptr<database::View> table;
    std::unique_ptr<database::View> byName;
    bool writable = false; // what the engine granted, not only what was asked
    database::Status status;
};
OpenedBook openBookFile(database::Workspace& workspace, const QString& path,
                        database::OpenMode mode, bool writable);

// A notes file opened (created when missing and `mayWrite`) with its table; both are
// null when it cannot be. Opened read-only, and never created, unless `mayWrite`.
struct OpenedNotes {
    std::unique_ptr<database::Database> database;
    std::unique_ptr<database::View> table;
};
OpenedNotes openNotesFile(database::Workspace& workspace, const QString& path, bool mayWrite);

// The mode a file is opened in: shared and writable, or as a read-only snapshot.
inline database::OpenMode modeFor(bool writable) {
    return writable ? database::OpenMode{false, false} : database::OpenMode{true, true};
}

} // namespace folimar::store
