#include "platform/database/Statement.h"

#include <sqlite3.h>

namespace folimar::database {

Statement::Statement(sqlite3* db, const QString& sql, Status* status) : db_(db) {
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        if (status)
            *status = failure(rc);
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Status Statement::failure(int rc) const {
    return Status::failure(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
}

Status Statement::bind(int index, const QVariant& value) {
    const Status bound = bindValue(index, value);
    if (!bound && bindFailure_)
        bindFailure_ = bound;
    return bound;
}

Status Statement::bindValue(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else if (value.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        // An empty byte array is an empty blob, not NULL: a topic without a picture.
        rc = sqlite3_bind_blob64(stmt_, index, bytes.isEmpty() ? "" : bytes.constData(),
                                 sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    } else if (value.typeId() == QMetaType::QString) {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text64(stmt_, index, text.constData(), sqlite3_uint64(text.size()),
                                 SQLITE_TRANSIENT, SQLITE_UTF8);
    } else {
        bool numeric = false;
        const qint64 number = value.toLongLong(&numeric);
        if (!numeric)
            return Status::failure(SQLITE_MISMATCH, QStringLiteral("value is not a number"));
        rc = sqlite3_bind_int64(stmt_, index, number);
    }
    return rc == SQLITE_OK ? Status() : failure(rc);
}

bool Statement::step(Status* status) {
    if (!bindFailure_) {
        if (status)
            *status = bindFailure_;
        return false;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE && status)
        *status = failure(rc);
    return false;
}

Status Statement::run() {
    Status status;
    while (step(&status)) {
    }
    reset();
    return status;
}

void Statement::reset() {
    // Reset reports the error of the last step again; that one was already checked.
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    bindFailure_ = {};
}

int Statement::columnCount() const { return sqlite3_column_count(stmt_); }

bool Statement::columnIsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

qint64 Statement::columnInt(int column) const { return sqlite3_column_int64(stmt_, column); }

QString Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

QByteArray Statement::columnBytes(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return QByteArray(data, sqlite3_column_bytes(stmt_, column));
}

QVariant Statement::columnValue(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return columnInt(column);
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, column);
    case SQLITE_BLOB:
        return columnBytes(column);
    default:
        return columnText(column);
    }
}

} // namespace folimar::database
