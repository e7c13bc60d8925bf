#pragma once

#include <QString>

namespace folimar::store {

// Whether a file may be written: a new file can be made in its folder, this user may
// write the file and the folder, and neither lacks its owner's write bit (which counts
// even for a user, such as root, whom the system would let write anyway).
// The probe file "tmp.tmp" is removed again; a "tmp.tmp" that was there before is left
// alone.
bool passesWriteProbe(const QString& filePath);

} // namespace folimar::store
