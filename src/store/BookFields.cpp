#include "store/BookFields.h"

#include "platform/database/RecordFields.h"
#include "store/BookSchema.h"

namespace folimar::store {

using database::Status;

QString bookFieldColumn(database::Connection& connection, QLatin1String field) {
    Status status;
    const std::optional<database::FieldDef> found =
        database::findField(connection, schema::Table, field, &status);
    return found ? database::fieldExpression(schema::Table, *found)
                 : database::Connection::quoted(field);
}

QVariant readBookField(database::Connection& connection, qint64 row, QLatin1String field) {
    Status status;
    const std::optional<database::FieldDef> found =
        database::findField(connection, schema::Table, field, &status);
    return found ? database::readRecordField(connection, schema::Table, *found, row, &status)
                 : QVariant();
}

database::FieldPart readBookFieldPart(database::Connection& connection, qint64 row,
                                      QLatin1String field, qint64 offset, qint64 count,
                                      Status* status) {
    const std::optional<database::FieldDef> found =
        database::findField(connection, schema::Table, field, status);
    return found ? database::readRecordFieldPart(connection, schema::Table, *found, row, offset,
                                                 count, status)
                 : database::FieldPart{};
}

Status writeBookField(database::Connection& connection, qint64 row, QLatin1String field,
                      const QVariant& value) {
    Status status;
    const std::optional<database::FieldDef> found =
        database::findField(connection, schema::Table, field, &status);
    return found ? database::writeRecordField(connection, schema::Table, *found, row, value)
                 : status;
}

} // namespace folimar::store
