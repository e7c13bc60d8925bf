#pragma once

#include "platform/database/Connection.h"
#include "platform/database/Status.h"
#include "platform/database/TableDef.h"

#include <QVariant>

namespace folimar::database {

// A field kept apart lives in a table of its own, named by this, holding one row per
// record of its table: (Record = the record's row id, Value). The record's own column of
// that name stays empty.
QString apartTableName(const QString& table, const QString& field);

// Creates the table that keeps `field` of `table` apart, and the trigger that drops a
// record's value when the record is deleted. Run inside the transaction creating `table`.
Status createApartField(Connection& connection, const QString& table, const QString& field);

// One field of the record with row id `row`, wherever the field is kept. NULL (an invalid
// variant) when the record has no value; a failure when the record or field is missing.
QVariant readRecordField(Connection& connection, const QString& table, const FieldDef& field,
                         qint64 row, Status* status);
// The size of that value (bytes of a binary, characters of a text), 0 for none.
qint64 recordFieldSize(Connection& connection, const QString& table, const FieldDef& field,
                       qint64 row, Status* status);
// Writes one field of an existing record; an invalid or null variant clears it.
Status writeRecordField(Connection& connection, const QString& table, const FieldDef& field,
                        qint64 row, const QVariant& value);

// An expression for `field` in a query over `table` (each record's own value, wherever
// the field is kept).
QString fieldExpression(const QString& table, const FieldDef& field);

// The field of `table` named `name` (any case), as the connection knows it.
std::optional<FieldDef> findField(Connection& connection, const QString& table,
                                  const QString& name, Status* status);

} // namespace folimar::database
