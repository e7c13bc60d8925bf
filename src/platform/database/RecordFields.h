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
// A piece of one field's value, read without the rest of it: bytes from `offset` on, at
// most the count asked for (fewer at the value's end, none past it), and the size of the
// whole value. None (0 bytes) for a record without a value; a failure when the record or
// field is missing.
struct FieldPart {
    QByteArray bytes;
    qint64 size = 0;
};
FieldPart readRecordFieldPart(Connection& connection, const QString& table, const FieldDef& field,
                              qint64 row, qint64 offset, qint64 count, Status* status);
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
