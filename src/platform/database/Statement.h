#pragma once

#include "platform/database/Status.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace folimar::database {

// One prepared statement, finalized with its owner. Steps report the engine's code;
// `reset()` makes it ready for the next use with fresh bindings. A failed bind (a value over
// the engine's length limit) also fails the next step, which then does not run: a write
// never goes on without one of its values.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql, Status* status);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return stmt_ != nullptr; }

    // Binds a QVariant by its type: byte arrays as blobs, strings as text, numbers as
    // integers, an invalid or null variant as NULL. Parameters count from 1.
    Status bind(int index, const QVariant& value);
    // Steps once: true with a row, false when done; `status` holds a failure.
    bool step(Status* status);
    // Runs to completion, for statements without rows.
    Status run();
    void reset();

    int columnCount() const;
    bool columnIsNull(int column) const;
    qint64 columnInt(int column) const;
    QString columnText(int column) const;
    QByteArray columnBytes(int column) const;
    // Text comes back as QString, blobs as QByteArray, integers as qint64, NULL invalid.
    QVariant columnValue(int column) const;

private:
    Status bindValue(int index, const QVariant& value);
    Status failure(int rc) const;

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    Status bindFailure_;
};

} // namespace folimar::database
