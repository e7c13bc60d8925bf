#pragma once

#include "platform/database/Status.h"

#include <QString>

// File steps that must reach the disk before the next one: the pieces of a safe
// replacement of a book by its compacted copy.
namespace folimar::database {

// Flushes a file's (or folder's) data to the disk.
Status syncPath(const QString& path);
// Copies `source` to a new file `target` as bytes, with the source's permissions, and
// flushes it. A failed copy leaves no target behind.
Status copySynced(const QString& source, const QString& target);
// The same without the flush, for a copy that is changed and flushed afterwards.
Status copyUnsynced(const QString& source, const QString& target);
// Puts the complete, flushed file `finished` in the place of `destination` atomically:
// renamed directly when both lie on one file system, otherwise first copied beside
// `destination` and renamed from there. `finished` is gone afterwards either way, and
// `destination` is the old file or the new one, never a part of either.
Status replaceFile(const QString& finished, const QString& destination);

} // namespace folimar::database
