#pragma once

#include <QString>

namespace folimar::store {

// The compacted copies made in the program folder. Each compaction gets a name of its own
// ("temp-<process>-<random>.mdb"), so a journal left by a copy that was never finished
// can never be taken for the journal of a later copy.
QString freshCopyName(const QString& folder);

// Removes the copies (and their journals) that programs which have ended left behind,
// including "temp.mdb" of earlier versions; a running program's copy stays.
void removeLeftoverCopies(const QString& folder);

} // namespace folimar::store
