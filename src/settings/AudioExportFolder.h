#pragma once

#include <QString>

namespace folimar::settings {

// The folder sound was last saved into, so that the next save opens there. Kept per user
// in a small file of its own, shared by Folimar and Vocimar.
struct AudioExportFolder {
    // `$XDG_CONFIG_HOME/folimar/export.conf`.
    static QString defaultPath();
    // The folder kept in `path`; empty when none is kept.
    static QString load(const QString& path);
    static bool save(const QString& path, const QString& folder);
};

} // namespace folimar::settings
