#pragma once

#include "platform/database/Status.h"

#include <QByteArray>
#include <QString>

namespace folimar::database {

// Writes a compacted, flushed copy of the closed database `source` to the new file
// `target`, keyed with `key` like the source. A file made with incremental vacuum is
// copied as bytes and its free pages given back; any other is exported record by record
// into a new file that has incremental vacuum from then on. On failure `target` is removed.
Status compactFile(const QString& source, const QString& target, const QByteArray& key);

} // namespace folimar::database
