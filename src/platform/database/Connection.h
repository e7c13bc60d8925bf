#pragma once

#include "platform/database/Statement.h"
#include "platform/database/Status.h"
#include "platform/database/TableDef.h"

#include <QHash>
#include <QString>

#include <memory>
#include <optional>
#include <unordered_map>

struct sqlite3;

namespace folimar::database {

// How a file is opened: shared and writable, or exclusive and read-only (or any mix).
struct OpenMode {
    bool exclusive = false;
    bool readOnly = false;
};

// What an index orders by: its one field and the field's collation.
struct IndexKey {
    QString field;
    QString collation; // "BINARY" or "NOCASE"
};

// One open, keyed database file: owns the engine handle and the statements prepared on
// it. A Database and all its views share one Connection; closing it closes them all.
class Connection {
public:
    // Opens (or, with `create`, creates) the file and keys it with `key`. Returns null
    // with a failure in `status` when the file is missing, is not a database, has another
    // key or is shorter than its own header says.
    static std::shared_ptr<Connection> open(const QString& path, OpenMode mode,
                                            const QByteArray& key, bool create,
                                            Status* status);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Status close();
    bool isOpen() const { return db_ != nullptr; }
    // Opened read-only, or opened read-only by the engine because the file may not be
    // written (which it does without a word).
    bool isReadOnly() const;
    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // A statement prepared once and kept until the connection closes. It comes back
    // reset; wrap its use in a StatementScope so it is reset again afterwards.
    Statement* cached(const QString& sql, Status* status);
    // Runs one statement without rows (prepared, run and dropped).
    Status exec(const QString& sql);
    // A single value from a query of one row, or an invalid variant.
    QVariant scalar(const QString& sql, Status* status = nullptr);
    // Rows changed through this connection so far: views compare it to see writes.
    qint64 changeCount() const;
    // The row id of the record the last insert on this connection added.
    qint64 lastInsertRow() const;
    bool inTransaction() const;
    bool hasTable(const QString& table);

    // The fields of `table` in their given order (kept in FieldOrder when this program
    // made the file, otherwise the physical order).
    QList<FieldDef> fields(const QString& table, Status* status);
    std::optional<IndexKey> indexKey(const QString& table, const QString& index);
    QStringList indexNames(const QString& table);
    // Forgets what it knew about tables after a change of the schema.
    void schemaChanged() { fields_.clear(); }

    static QString quoted(const QString& identifier);

private:
    Connection(sqlite3* db, QString path, OpenMode mode);
    Status failure(int rc) const;

    sqlite3* db_;
    QString path_;
    OpenMode mode_;
    std::unordered_map<QString, std::unique_ptr<Statement>> statements_;
    QHash<QString, QList<FieldDef>> fields_;
};

// Resets a cached statement when the scope that uses it ends.
class StatementScope {
public:
    explicit StatementScope(Statement* statement) : statement_(statement) {}
    ~StatementScope() {
        if (statement_)
            statement_->reset();
    }
    StatementScope(const StatementScope&) = delete;
    StatementScope& operator=(const StatementScope&) = delete;

private:
    Statement* statement_;
};

} // namespace folimar::database
