#include "platform/paths/InstalledFiles.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace folimar::platform {

InstalledFiles::InstalledFiles(QString executableFolder)
    : executableFolder_(std::move(executableFolder)) {}

QString InstalledFiles::dataFile(const QString& name) const {
    return find(name, QLatin1String("share/folimar"));
}

QString InstalledFiles::dataFileOrItsPlace(const QString& name) const {
    const QString found = dataFile(name);
    return found.isEmpty() ? installedPath(name, QLatin1String("share/folimar")) : found;
}

QString InstalledFiles::program(const QString& name) const {
    return find(name, QLatin1String("libexec/folimar"));
}

QString InstalledFiles::find(const QString& name, const QString& installedFolder) const {
    const QString beside = executableFolder_ + QLatin1Char('/') + name;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = installedPath(name, installedFolder);
    return QFileInfo::exists(installed) ? installed : QString();
}

QString InstalledFiles::installedPath(const QString& name, const QString& installedFolder) const {
    return QDir::cleanPath(executableFolder_ + QLatin1String("/../") + installedFolder +
                           QLatin1Char('/') + name);
}

} // namespace folimar::platform
