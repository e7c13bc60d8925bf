#include "app/FolimarUsage.h"

namespace folimar::app {

platform::ProgramUsage FolimarUsage() {
    return {
        QStringLiteral("folimar"),
        QStringLiteral("Folimar"),
        QStringLiteral("make books of scanned pages and listen to them read aloud"),
        QStringLiteral("[BOOK.fmr]"),
        {QStringLiteral(
             "Folimar opens BOOK.fmr, or without one the untitled book in its program folder. "
             "Each page of a book holds a picture, its text and a note; a speaking character "
             "reads the text aloud sentence by sentence. Help, Topics in the reader window "
             "explains how a book is made."),
         QStringLiteral(
             "A start that names a book while Folimar runs hands the book to the running "
             "program and ends. The words after the options make up the book's path, so a "
             "path with spaces needs no quotes; commas and tabs separate paths. Put \"--\" in "
             "front of a path that starts with \"-\".")},
        {{QStringLiteral("~/.local/share/folimar/"),
          QStringLiteral("the program folder: settings, the untitled book and working files, "
                         "unless registry.reg names another")},
         {QStringLiteral("~/.local/share/folimar/Folimar.ini"), QStringLiteral("the settings")},
         {QStringLiteral("~/.local/share/folimar/untitled.fmr"),
          QStringLiteral("the book opened when none is named")},
         {QStringLiteral("~/.local/share/folimar/notes/"), QStringLiteral("the books' notes")},
         {QStringLiteral("~/.local/share/folimar/characters/"),
          QStringLiteral("characters of your own (.acs files)")},
         {QStringLiteral("~/.config/folimar/registry.reg"),
          QStringLiteral("the program's registry values, among them the App Paths value whose "
                         "folder becomes the program folder")},
         {QStringLiteral("~/.config/folimar/voice.conf"),
          QStringLiteral("the speech engine, voice, rate, pitch and volume")},
         {QStringLiteral("/usr/share/folimar/"),
          QStringLiteral("the help text and the characters that come with Folimar (beside the "
                         "program when it runs from a build folder)")},
         {QStringLiteral("/usr/libexec/folimar/bmp2jpg"),
          QStringLiteral("the converter of pasted page pictures")}},
        {{QStringLiteral("XDG_DATA_HOME"), QStringLiteral("the folder in place of ~/.local/share")},
         {QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("the folder in place of ~/.config")},
         {QStringLiteral("XDG_RUNTIME_DIR"),
          QStringLiteral("where the running Folimar listens for books handed over by later "
                         "starts; without it, a private folder in the temporary folder")},
         {QStringLiteral("TMPDIR"), QStringLiteral("the temporary folder (default /tmp)")},
         {QStringLiteral("QT_LOGGING_RULES"),
          QStringLiteral("traces to show, e.g. \"folimar.*.debug=true\"")}}};
}

} // namespace folimar::app
