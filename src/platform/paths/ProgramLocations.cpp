#include "platform/paths/ProgramLocations.h"

#include "platform/paths/PathNames.h"
#include "platform/registry/RegistryStore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace folimar::platform {

QString FolderOfAppPath(const QString& appPath) {
    const QString folder = FolderOf(appPath);
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        return {};
    const QString clean = QDir::cleanPath(folder);
    // Working files are deleted and replaced in this folder: never let it be the root.
    return clean == QLatin1String("/") ? QString() : clean;
}

ProgramLocations LocateProgram(const QString& registryStorePath) {
    ProgramLocations locations;
    locations.ProgramFolder = FolderOfAppPath(ReadRegistryString(
        registryStorePath, QLatin1String(LocalMachineRoot), QLatin1String(AppPathsKey), {}));
    if (locations.ProgramFolder.isEmpty()) {
        locations.ProgramFolder =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QLatin1String("/folimar");
        QDir().mkpath(locations.ProgramFolder); // a failure shows when files are written there
    }
    locations.TempFolder = QDir::tempPath();
    locations.NotesFolder = locations.ProgramFolder + QLatin1String("/notes");
    locations.LastFolder = QDir::currentPath();
    return locations;
}

QString WorkFolderParent() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
}

bool MakeProgramFolders(const ProgramLocations& locations) {
    const bool temp = QDir().mkpath(locations.TempFolder);
    const bool notes = QDir().mkpath(locations.NotesFolder);
    return temp && notes;
}

} // namespace folimar::platform
