#include "store/WordBoxTable.h"

#include "platform/database/RecordFields.h"
#include "platform/database/Statement.h"
#include "store/BookSchema.h"

namespace folimar::store {

using database::Statement;
using database::StatementScope;
using database::Status;

namespace {

const QString BoxesField = QStringLiteral("WordBoxes");

QString tableName() {
    return database::apartTableName(schema::Table, BoxesField);
}

} // namespace

QByteArray readWordBoxes(database::Connection& connection, qint64 row) {
    if (!connection.hasTable(tableName()))
        return {};
    Status status;
    Statement* read = connection.cached(
        QStringLiteral("SELECT Value FROM %1 WHERE Record = ?1").arg(tableName()), &status);
    if (!read)
        return {};
    StatementScope scope(read);
    read->bind(1, row);
    return read->step(&status) ? read->columnValue(0).toByteArray() : QByteArray();
}

Status writeWordBoxes(database::Connection& connection, qint64 row, const QByteArray& blob) {
    const bool hasTable = connection.hasTable(tableName());
    if (blob.isEmpty() && !hasTable)
        return {};
    Status status;
    if (!hasTable)
        status = database::createApartField(connection, schema::Table, BoxesField);
    Statement* write =
        status ? connection.cached(
                     blob.isEmpty()
                         ? QStringLiteral("DELETE FROM %1 WHERE Record = ?1").arg(tableName())
                         : QStringLiteral("INSERT OR REPLACE INTO %1 (Record, "
                                          "Value) VALUES (?1, ?2)")
                               .arg(tableName()),
                     &status)
               : nullptr;
    if (!write)
        return status;
    StatementScope scope(write);
    write->bind(1, row);
    if (!blob.isEmpty())
        write->bind(2, blob);
    write->step(&status);
    return status;
}

} // namespace folimar::store
