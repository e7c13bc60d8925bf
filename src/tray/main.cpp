#include "platform/character/DesktopCharacterService.h"
#include "platform/clock/Clock.h"
#include "platform/desktop/WidgetDialogs.h"
#include "platform/registry/RegistryStore.h"
#include "tray/VocimarProgram.h"

#include <QApplication>
#include <QSystemTrayIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vocimar"));
    QApplication::setApplicationVersion(QStringLiteral("1.91"));
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
