#include "tray/VocimarUsage.h"

#include "platform/commandline/SharedUsage.h"

namespace folimar::tray {

namespace {

QList<platform::UsageItem> files() {
    QList<platform::UsageItem> items{
        {QStringLiteral("~/.local/share/folimar/Vocimar.ini"),
         QStringLiteral("the settings, in Folimar's program folder (unless registry.reg names "
                        "another)")}};
    items += platform::sharedUsageFiles();
    items += {QStringLiteral("/usr/share/folimar/"),
              QStringLiteral("the help text and the characters that come with it (beside the "
                             "program when it runs from a build folder)")};
    return items;
}

} // namespace

platform::ProgramUsage VocimarUsage() {
    return {QStringLiteral("vocimar"),
            QStringLiteral("Vocimar"),
            QStringLiteral("read copied text aloud from the panel tray"),
            QString(),
            {QStringLiteral(
                 "Vocimar sits in the panel tray. Copy any text, then choose \"Paste and Play\" "
                 "from its icon's menu: a speaking character reads it aloud, sentence by sentence, "
                 "with the same engine as Folimar. It opens no files."),
             QStringLiteral(
                 "vocimar --audio IN.txt OUT.opus saves the text of IN.txt (UTF-8) as sound "
                 "instead, read by espeak-ng with the chosen voice, and ends; OUT.wav makes a WAV "
                 "file. No window opens; the progress is shown on the terminal. The file appears "
                 "only when it is complete. Exit status: 0 saved, 1 failed, 2 a wrong command "
                 "line, 128 + the signal's number when interrupted.")},
            files(),
            platform::sharedUsageEnvironment()};
}

} // namespace folimar::tray
