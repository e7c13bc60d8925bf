#include "platform/database/Connection.h"

#include "platform/database/DatabaseLog.h"
#include "platform/database/RecordFields.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

namespace folimar::database {

namespace {

// A second program sharing the file waits this long for the other's write to end.
constexpr int BusyTimeoutMs = 2000;

struct HandleCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using OwnedHandle = std::unique_ptr<sqlite3, HandleCloser>;

Status handleFailure(sqlite3* db, int rc) {
    return Status::failure(rc, db ? QString::fromUtf8(sqlite3_errmsg(db))
                                  : QString::fromUtf8(sqlite3_errstr(rc)));
}

Status runPlain(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Status() : handleFailure(db, rc);
}

FieldDef fieldFromDeclaration(const QString& name, const QString& declared) {
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return {name, FieldType::Integer16, 0};
    if (type.contains(QLatin1String("TEXT")) || type.contains(QLatin1String("CHAR"))) {
        static const QRegularExpression sizePattern(QStringLiteral("\\((\\d+)\\)"));
        const auto match = sizePattern.match(type);
        return {name, FieldType::Text, match.hasMatch() ? match.captured(1).toInt()
                                                          : DefaultTextSize};
    }
    return {name, FieldType::LongBinary, 0};
}

} // namespace

std::shared_ptr<Connection> Connection::open(const QString& path, OpenMode mode,
                                             const QByteArray& key, bool create,
                                             Status* status) {
    const QFileInfo info(path);
    if (create ? info.exists() : !info.isFile()) {
        *status = Status::failure(create ? errors::Exists : SQLITE_CANTOPEN,
                                  create ? QStringLiteral("file exists: %1").arg(path)
                                         : QStringLiteral("no file: %1").arg(path));
        return nullptr;
    }
    // A writable connection may create files: the ones it attaches (a compaction's
    // export). The file itself was checked above.
    const int flags = mode.readOnly ? SQLITE_OPEN_READONLY
                                    : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    OwnedHandle db(raw);
    if (rc != SQLITE_OK) {
        // Never key a handle whose open failed: the engine does not survive it.
        *status = handleFailure(db.get(), rc);
        return nullptr;
    }
    if (const int keyed = sqlite3_key(db.get(), key.constData(), int(key.size()));
        keyed != SQLITE_OK) {
        *status = handleFailure(db.get(), keyed);
        return nullptr;
    }
    sqlite3_busy_timeout(db.get(), BusyTimeoutMs);
    if (mode.exclusive) {
        if (Status locked = runPlain(db.get(), "PRAGMA locking_mode = EXCLUSIVE"); !locked) {
            *status = locked;
            return nullptr;
        }
    }
    // The first read derives the key and proves it: a wrong key or a file that is not a
    // database fails here.
    if (Status readable = runPlain(db.get(), "SELECT count(*) FROM sqlite_master");
        !readable) {
        *status = readable;
        return nullptr;
    }
    std::shared_ptr<Connection> connection(new Connection(db.release(), path, mode));
    if (!create) {
        const qint64 pages = connection->scalar(QStringLiteral("PRAGMA page_count")).toLongLong();
        const qint64 pageSize =
            connection->scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
        if (pages * pageSize > info.size()) {
            *status = Status::failure(errors::Damaged,
                                      QStringLiteral("file is cut short: %1").arg(path));
            return nullptr;
        }
    }
    return connection;
}

Connection::Connection(sqlite3* db, QString path, OpenMode mode)
    : db_(db), path_(std::move(path)), mode_(mode) {}

Connection::~Connection() {
    if (Status closed = close(); !closed)
        qCWarning(lcDatabase) << "closing" << path_ << "failed:" << closed.message();
}

Status Connection::close() {
    if (!db_)
        return {};
    statements_.clear();
    fields_.clear();
    const int rc = sqlite3_close(db_);
    if (rc != SQLITE_OK) {
        Status status = handleFailure(db_, rc);
        sqlite3_close_v2(db_); // hands the handle to the engine to free when it can
        db_ = nullptr;
        return status;
    }
    db_ = nullptr;
    return {};
}

bool Connection::isReadOnly() const {
    return mode_.readOnly || (db_ && sqlite3_db_readonly(db_, "main") == 1);
}

Status Connection::failure(int rc) const { return handleFailure(db_, rc); }

Statement* Connection::cached(const QString& sql, Status* status) {
    if (!db_) {
        *status = Status::failure(errors::NoView, QStringLiteral("database closed"));
        return nullptr;
    }
    if (auto found = statements_.find(sql); found != statements_.end()) {
        found->second->reset();
        return found->second.get();
    }
    Status prepared;
    auto statement = std::make_unique<Statement>(db_, sql, &prepared);
    if (!prepared) {
        *status = prepared;
        return nullptr;
    }
    return statements_.emplace(sql, std::move(statement)).first->second.get();
}

Status Connection::exec(const QString& sql) {
    if (!db_)
        return Status::failure(errors::NoView, QStringLiteral("database closed"));
    Status status;
    Statement statement(db_, sql, &status);
    return status ? statement.run() : status;
}

QVariant Connection::scalar(const QString& sql, Status* status) {
    Status local;
    Status& result = status ? *status : local;
    Statement* statement = cached(sql, &result);
    if (!statement)
        return {};
    StatementScope scope(statement);
    return statement->step(&result) ? statement->columnValue(0) : QVariant();
}

qint64 Connection::changeCount() const { return db_ ? sqlite3_total_changes(db_) : 0; }

QString Connection::quoted(const QString& identifier) {
    QString inner = identifier;
    return QLatin1Char('"') + inner.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

qint64 Connection::lastInsertRow() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

bool Connection::inTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }

bool Connection::hasTable(const QString& table) {
    Status status;
    Statement* find = cached(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1"), &status);
    if (!find)
        return false;
    StatementScope scope(find);
    find->bind(1, table);
    return find->step(&status);
}

QList<FieldDef> Connection::fields(const QString& table, Status* status) {
    if (auto known = fields_.constFind(table); known != fields_.constEnd())
        return *known;
    Statement* info = cached(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)), status);
    if (!info)
        return {};
    QList<FieldDef> physical;
    {
        StatementScope scope(info);
        while (info->step(status))
            physical.append(fieldFromDeclaration(info->columnText(1), info->columnText(2)));
    }
    if (physical.isEmpty()) {
        *status = Status::failure(SQLITE_ERROR, QStringLiteral("no such table: %1").arg(table));
        return {};
    }
    QList<FieldDef> ordered;
    Status ignored; // a file without FieldOrder keeps its physical order
    if (Statement* order = cached(
            QStringLiteral("SELECT FieldName FROM FieldOrder WHERE TableName = ?1 "
                           "ORDER BY Position"),
            &ignored)) {
        StatementScope scope(order);
        order->bind(1, table);
        while (order->step(&ignored)) {
            const QString name = order->columnText(0);
            for (qsizetype i = 0; i < physical.size(); ++i) {
                if (physical[i].name.compare(name, Qt::CaseInsensitive) == 0) {
                    ordered.append(physical.takeAt(i));
                    break;
                }
            }
        }
    }
    ordered.append(physical);
    for (FieldDef& field : ordered) {
        if (field.type == FieldType::LongBinary)
            field.storedApart = hasTable(apartTableName(table, field.name));
    }
    fields_.insert(table, ordered);
    return ordered;
}

std::optional<IndexKey> Connection::indexKey(const QString& table, const QString& index) {
    Status status;
    Statement* owner = cached(QStringLiteral("SELECT tbl_name FROM sqlite_master "
                                             "WHERE type = 'index' AND name = ?1"),
                              &status);
    if (!owner)
        return std::nullopt;
    {
        StatementScope scope(owner);
        owner->bind(1, index);
        if (!owner->step(&status) ||
            owner->columnText(0).compare(table, Qt::CaseInsensitive) != 0)
            return std::nullopt;
    }
    Statement* info =
        cached(QStringLiteral("PRAGMA index_xinfo(%1)").arg(quoted(index)), &status);
    if (!info)
        return std::nullopt;
    StatementScope scope(info);
    while (info->step(&status)) {
        if (info->columnInt(5) == 1 && !info->columnIsNull(2))
            return IndexKey{info->columnText(2), info->columnText(4).toUpper()};
    }
    return std::nullopt;
}

QStringList Connection::indexNames(const QString& table) {
    Status status;
    Statement* list = cached(QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                            "'index' AND tbl_name = ?1 ORDER BY rowid"),
                             &status);
    QStringList names;
    if (!list)
        return names;
    StatementScope scope(list);
    list->bind(1, table);
    while (list->step(&status))
        names.append(list->columnText(0));
    return names;
}

} // namespace folimar::database
