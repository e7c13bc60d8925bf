#pragma once

#include <QString>

namespace folimar::store {

// Where the store keeps its own files: the untitled book and the compaction copy in
// ProgramFolder, the notes files in NotesFolder (normally ProgramFolder + "/notes").
struct StoreLocations {
    QString ProgramFolder;
    QString NotesFolder;
};

} // namespace folimar::store
