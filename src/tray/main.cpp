#include "platform/character/DesktopCharacterService.h"
#include "platform/clock/Clock.h"
#include "platform/commandline/ApplicationArgv.h"
#include "platform/commandline/CommandLineAnswer.h"
#include "platform/desktop/WidgetDialogs.h"
#include "platform/registry/RegistryStore.h"
#include "speechexport/AudioCommand.h"
#include "tray/VocimarProgram.h"
#include "tray/VocimarUsage.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTextStream>

int main(int argc, char* argv[]) {
    const QStringList arguments = folimar::platform::ArgumentsOf(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // `--audio IN.txt OUT`: the text saved as sound, on the terminal, without the tray.
    if (const auto status = folimar::speechexport::AnswerAudioCommand(
            argc, argv, arguments, folimar::speechexport::AudioSource::TextFile,
            folimar::tray::VocimarUsage(), out, err))
        return *status;
    // --help, --version and a wrong option are answered before any window or file is made.
    const auto line = folimar::platform::ParseCommandLine(arguments, /*takesOperands=*/false);
    if (const auto status =
            folimar::platform::AnswerCommandLine(line, folimar::tray::VocimarUsage(), out, err))
        return *status;

    folimar::platform::ApplicationArgv qtArgv(argv[0], line.qtArguments);
    QApplication application(qtArgv.argc(), qtArgv.argv());
    QApplication::setApplicationName(QStringLiteral("Vocimar"));
    QApplication::setApplicationVersion(folimar::platform::ProjectVersion());
    QApplication::setDesktopFileName(QStringLiteral("vocimar"));
    // The program lives in the tray: hiding its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    folimar::platform::WidgetDialogs dialogs;
    folimar::character::DesktopCharacterService characters;
    folimar::platform::SteadyClock clock;
    folimar::tray::VocimarProgram program({dialogs, characters, clock},
                                          {folimar::platform::RegistryStorePath(),
                                           QApplication::applicationDirPath(),
                                           &QSystemTrayIcon::isSystemTrayAvailable});
    QObject::connect(&program, &folimar::tray::VocimarProgram::finished, &application,
                     &QApplication::quit, Qt::QueuedConnection);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &program,
                     [&program](QSessionManager&) { program.requestQuit(); });
    program.StartProgram();
    return QApplication::exec();
}
