#pragma once

#include "platform/database/Connection.h"
#include "platform/database/Status.h"

#include <QByteArray>

namespace folimar::store {

// The word boxes of each topic's picture, one blob per topic, in a table of our own
// beside the topic records ("Sitedata_WordBoxes": Record = the topic's row id, Value),
// dropped with its topic by a trigger. Books without the table (made earlier, or by
// other programs) have no boxes; the table is made when the first boxes are stored.

// The boxes of the topic with row id `row`; empty for none or no table.
QByteArray readWordBoxes(database::Connection& connection, qint64 row);
// Stores `blob` as the topic's boxes; an empty blob removes any it had.
database::Status writeWordBoxes(database::Connection& connection, qint64 row,
                                const QByteArray& blob);

} // namespace folimar::store
