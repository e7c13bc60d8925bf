#include "settings/AudioExportFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace folimar::settings {

namespace {
constexpr char FolderKey[] = "audio/folder";
}

QString AudioExportFolder::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/folimar/export.conf");
}

QString AudioExportFolder::load(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    return QSettings(path, QSettings::IniFormat).value(FolderKey).toString();
}

bool AudioExportFolder::save(const QString& path, const QString& folder) {
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSettings store(path, QSettings::IniFormat);
    store.setValue(FolderKey, folder);
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace folimar::settings
