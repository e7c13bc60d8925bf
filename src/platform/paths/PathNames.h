#pragma once

#include <QString>

namespace folimar::platform {

// The text after the last "/" of `path`, or the whole of `path` when it has none.
QString FileNameOf(const QString& path);
// The text before the last "/" of `path`, without it; empty when there is none.
QString FolderOf(const QString& path);
// `FileNameOf(path)` less its last four characters (".fmr"), or the whole name when shorter.
QString BaseNameOf(const QString& path);

} // namespace folimar::platform
