#pragma once

#include "platform/database/Connection.h"
#include "platform/database/RecordFields.h"
#include "platform/database/Status.h"

#include <QLatin1String>
#include <QVariant>

namespace folimar::store {

// A topic's text and picture: kept apart from the topic records in books made now (so
// renumbering or renaming topics never rewrites them), inside the records in books made
// earlier or elsewhere. These reach the field either way.

// An expression for `field` in a query over the book table.
QString bookFieldColumn(database::Connection& connection, QLatin1String field);
// The field of the topic record with row id `row`; an invalid variant for none.
QVariant readBookField(database::Connection& connection, qint64 row, QLatin1String field);
// A piece of that field, from `offset` on, at most `count` bytes of it, with the whole size.
database::FieldPart readBookFieldPart(database::Connection& connection, qint64 row,
                                      QLatin1String field, qint64 offset, qint64 count,
                                      database::Status* status);
database::Status writeBookField(database::Connection& connection, qint64 row,
                                QLatin1String field, const QVariant& value);

} // namespace folimar::store
