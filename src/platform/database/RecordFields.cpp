#include "platform/database/RecordFields.h"

#include <algorithm>
#include <sqlite3.h>

namespace folimar::database {

namespace {

// Reads `expression` of the record's row: from the field's own table when it is kept
// apart (no row there is a NULL value), else from the record itself.
QVariant readCell(Connection& connection, const QString& table, const FieldDef& field,
                  qint64 row, const QString& expression, Status* status) {
    const QString sql =
        field.storedApart
            ? QStringLiteral("SELECT (SELECT %1 FROM %2 WHERE Record = ?1) FROM %3 "
                             "WHERE rowid = ?1")
                  .arg(expression, Connection::quoted(apartTableName(table, field.name)),
                       Connection::quoted(table))
            : QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                  .arg(expression, Connection::quoted(table));
    Statement* read = connection.cached(sql, status);
    if (!read)
        return {};
    StatementScope scope(read);
    read->bind(1, row);
    if (!read->step(status)) {
        if (*status)
            *status = Status::failure(errors::NoCurrentRecord,
                                      QStringLiteral("no record %1 in %2").arg(row).arg(table));
        return {};
    }
    return read->columnValue(0);
}

QString valueColumn(const FieldDef& field) {
    return field.storedApart ? QStringLiteral("Value") : Connection::quoted(field.name);
}

} // namespace

QString apartTableName(const QString& table, const QString& field) {
    return table + QLatin1Char('_') + field;
}

Status createApartField(Connection& connection, const QString& table, const QString& field) {
    const QString apart = Connection::quoted(apartTableName(table, field));
    Status status = connection.exec(
        QStringLiteral("CREATE TABLE %1 (Record INTEGER PRIMARY KEY, Value BLOB)").arg(apart));
    if (status)
        status = connection.exec(
            QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN "
                           "DELETE FROM %3 WHERE Record = old.rowid; END")
                .arg(Connection::quoted(apartTableName(table, field) + QStringLiteral("_drop")),
                     Connection::quoted(table), apart));
    connection.schemaChanged();
    return status;
}

QVariant readRecordField(Connection& connection, const QString& table, const FieldDef& field,
                         qint64 row, Status* status) {
    QVariant value = readCell(connection, table, field, row, valueColumn(field), status);
    if (field.type == FieldType::Integer16 && value.isValid())
        value = value.toInt();
    return value;
}

qint64 recordFieldSize(Connection& connection, const QString& table, const FieldDef& field,
                       qint64 row, Status* status) {
    // length() of a blob reads its size from the record header, not its pages.
    const QVariant size = readCell(connection, table, field, row,
                                   QStringLiteral("length(%1)").arg(valueColumn(field)), status);
    return *status ? size.toLongLong() : -1;
}

FieldPart readRecordFieldPart(Connection& connection, const QString& table, const FieldDef& field,
                              qint64 row, qint64 offset, qint64 count, Status* status) {
    // The engine's incremental reading unlocks only the pages the piece lies on.
    const QByteArray inTable =
        (field.storedApart ? apartTableName(table, field.name) : table).toUtf8();
    const QByteArray column = (field.storedApart ? QStringLiteral("Value") : field.name).toUtf8();
    sqlite3_blob* blob = nullptr;
    const int opened = sqlite3_blob_open(connection.handle(), "main", inTable.constData(),
                                         column.constData(), row, 0, &blob);
    if (opened != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(connection.handle()));
        sqlite3_blob_close(blob);
        // No value to open: a record without one, or no record at all.
        const qint64 size = recordFieldSize(connection, table, field, row, status);
        if (*status && size != 0)
            *status = Status::failure(opened, why);
        return {};
    }
    FieldPart part;
    part.size = sqlite3_blob_bytes(blob);
    const qint64 from = std::clamp<qint64>(offset, 0, part.size);
    part.bytes.resize(qsizetype(std::clamp<qint64>(count, 0, part.size - from)));
    const int read = part.bytes.isEmpty()
                         ? SQLITE_OK
                         : sqlite3_blob_read(blob, part.bytes.data(), int(part.bytes.size()),
                                             int(from));
    if (read != SQLITE_OK) {
        *status = Status::failure(read, QString::fromUtf8(sqlite3_errmsg(connection.handle())));
        part = {};
    }
    sqlite3_blob_close(blob);
    return part;
}

Status writeRecordField(Connection& connection, const QString& table, const FieldDef& field,
                        qint64 row, const QVariant& value) {
    const bool empty = !value.isValid() || value.isNull();
    const QString apart = Connection::quoted(apartTableName(table, field.name));
    const QString sql =
        !field.storedApart ? QStringLiteral("UPDATE %1 SET %2 = ?2 WHERE rowid = ?1")
                                 .arg(Connection::quoted(table), Connection::quoted(field.name))
        : empty ? QStringLiteral("DELETE FROM %1 WHERE Record = ?1").arg(apart)
                : QStringLiteral("INSERT OR REPLACE INTO %1 (Record, Value) VALUES (?1, ?2)")
                      .arg(apart);
    Status status;
    Statement* write = connection.cached(sql, &status);
    if (!write)
        return status;
    StatementScope scope(write);
    write->bind(1, row);
    if (!field.storedApart || !empty)
        write->bind(2, value);
    write->step(&status);
    return status;
}

QString fieldExpression(const QString& table, const FieldDef& field) {
    if (!field.storedApart)
        return Connection::quoted(field.name);
    return QStringLiteral("(SELECT Value FROM %1 WHERE Record = %2.rowid)")
        .arg(Connection::quoted(apartTableName(table, field.name)), Connection::quoted(table));
}

std::optional<FieldDef> findField(Connection& connection, const QString& table,
                                  const QString& name, Status* status) {
    const QList<FieldDef> known = connection.fields(table, status);
    for (const FieldDef& field : known) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return field;
    }
    if (*status)
        *status = Status::failure(errors::NoSuchField, QStringLiteral("no field %1").arg(name));
    return std::nullopt;
}

} // namespace folimar::database
