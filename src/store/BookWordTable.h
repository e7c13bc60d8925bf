#pragma once

#include "platform/database/Connection.h"
#include "platform/database/Status.h"

#include <QStringList>

namespace folimar::store {

// The book's own words, that proof-reading never doubts, in a table of our own
// ("BookWords": Word), made when the first word is stored. Books without it have none.

// The words, in order; none for no table.
QStringList readBookWords(database::Connection& connection);
// Adds each of `words` the table does not hold already; `added` (may be null) tells
// whether any was.
database::Status addBookWords(database::Connection& connection, const QStringList& words,
                              bool* added = nullptr);

} // namespace folimar::store
