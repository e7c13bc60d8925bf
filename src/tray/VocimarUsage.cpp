#include "tray/VocimarUsage.h"

namespace folimar::tray {

platform::ProgramUsage VocimarUsage() {
    return {
        QStringLiteral("vocimar"),
        QStringLiteral("Vocimar"),
        QStringLiteral("read copied text aloud from the panel tray"),
        QString(),
        {QStringLiteral(
            "Vocimar sits in the panel tray. Copy any text, then choose \"Paste and Play\" "
            "from its icon's menu: a speaking character reads it aloud, sentence by sentence, "
            "with the same engine as Folimar. It opens no files.")},
        {{QStringLiteral("~/.local/share/folimar/Vocimar.ini"),
          QStringLiteral("the settings, in Folimar's program folder (unless registry.reg names "
                         "another)")},
         {QStringLiteral("~/.local/share/folimar/characters/"),
          QStringLiteral("characters of your own (.acs files)")},
         {QStringLiteral("~/.config/folimar/registry.reg"),
          QStringLiteral("the program's registry values, among them the App Paths value whose "
                         "folder becomes the program folder")},
         {QStringLiteral("~/.config/folimar/voice.conf"),
          QStringLiteral("the speech engine, voice, rate, pitch and volume")},
         {QStringLiteral("/usr/share/folimar/"),
          QStringLiteral("the help text and the characters that come with it (beside the "
                         "program when it runs from a build folder)")}},
        {{QStringLiteral("XDG_DATA_HOME"), QStringLiteral("the folder in place of ~/.local/share")},
         {QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("the folder in place of ~/.config")},
         {QStringLiteral("TMPDIR"), QStringLiteral("the temporary folder (default /tmp)")},
         {QStringLiteral("QT_LOGGING_RULES"),
          QStringLiteral("traces to show, e.g. \"folimar.*.debug=true\"")}}};
}

} // namespace folimar::tray
