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

// What the empty reader text shows a newcomer until there is text: how to get a page's text
// in, hear it, keep it, and where help is.
inline QString emptyTextHint(ReaderProfile profile) {
    if (profile == ReaderProfile::Vocimar)
        return QStringLiteral("Copy any text, then choose Paste and Play from Vocimar's icon in "
                              "the tray; or paste it here with Paste and press F1 to hear it.");
    return QStringLiteral(
        "The text of the page shows here. Paste a page picture into the book window (Ctrl+V "
        "there) and its text is read into this window, or paste or type the text here.\n\n"
        "F1 reads it aloud, F2 pauses, F3 stops; F9 stores the page as a topic of the book, "
        "F5 and F6 turn the pages.\n\nHelp, Topics tells the rest.");
}

} // namespace folimar::reader
