#pragma once

#include <QString>

namespace folimar::reader {

// Which program the reading windows serve. Folimar reads a book's topics; Vocimar, the
// tray reader, reads whatever was pasted and has no books, topics, pictures or help.
enum class ReaderProfile { Folimar, Vocimar };

inline QString programName(ReaderProfile profile) {
    return profile == ReaderProfile::Vocimar ? QStringLiteral("Vocimar")
                                             : QStringLiteral("Folimar");
}

} // namespace folimar::reader
