#include "platform/commandline/SharedUsage.h"

namespace folimar::platform {

QList<UsageItem> sharedUsageFiles() {
    return {{QStringLiteral("~/.local/share/folimar/characters/"),
             QStringLiteral("characters of your own (.acs files)")},
            {QStringLiteral("~/.config/folimar/registry.reg"),
             QStringLiteral("the program's registry values, among them the App Paths value whose "
                            "folder becomes the program folder")},
            {QStringLiteral("~/.config/folimar/voice.conf"),
             QStringLiteral("the speech engine, voice, rate, pitch and volume")},
            {QStringLiteral("~/.config/folimar/export.conf"),
             QStringLiteral("the folder sound was last saved into")}};
}

QList<UsageItem> sharedUsageEnvironment() {
    return {
        {QStringLiteral("XDG_DATA_HOME"), QStringLiteral("the folder in place of ~/.local/share")},
        {QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("the folder in place of ~/.config")},
        {QStringLiteral("TMPDIR"), QStringLiteral("the temporary folder (default /tmp)")},
        {QStringLiteral("QT_LOGGING_RULES"),
         QStringLiteral("traces to show, e.g. \"folimar.*.debug=true\"")}};
}

} // namespace folimar::platform
