#pragma once

#include <QString>

namespace folimar::platform {

// The program-wide folders, found once at start-up. Only `LastFolder` changes later: it
// follows the folder the user last chose in a file dialog.
struct ProgramLocations {
    QString ProgramFolder; // settings, notes, the untitled book, working files
    QString TempFolder;    // exports and other working files
    QString NotesFolder;   // ProgramFolder + "/notes"
    QString LastFolder;    // where the file dialogs open
    // This running program's own folder for the page picture's working files ("temp.bmp",
    // "temp.jpg"): no two programs share one.
    QString WorkFolder;

    QString untitledBookPath() const { return ProgramFolder + QLatin1String("/untitled.fmr"); }
};

// The folder of the installed program named by the App Paths value `appPath`, or empty
// when that value names no folder below the root (missing, relative or malformed).
QString FolderOfAppPath(const QString& appPath);

// ProgramFolder from the App Paths value in the registry store at `registryStorePath`;
// without one, the per-user data folder $XDG_DATA_HOME/folimar, created if missing.
// LastFolder starts as the current folder.
ProgramLocations LocateProgram(const QString& registryStorePath);

// The folder under which a running program makes its WorkFolder: the user's runtime
// folder ($XDG_RUNTIME_DIR) when there is one, otherwise the temporary folder.
QString WorkFolderParent();

// Creates the temporary and notes folders when they are missing; false when one is still
// missing afterwards.
bool MakeProgramFolders(const ProgramLocations& locations);

} // namespace folimar::platform
