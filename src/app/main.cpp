#include "app/FolimarProgram.h"
#include "platform/registry/RegistryStore.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("folimar"));
    QApplication::setApplicationDisplayName(QStringLiteral("Folimar"));
    QApplication::setApplicationVersion(QStringLiteral("1.91"));
    QApplication::setQuitOnLastWindowClosed(false);

    folimar::app::FolimarProgram program(
        {folimar::platform::RegistryStorePath(), /*handOverToRunningInstance=*/{}});
    QObject::connect(&program, &folimar::app::FolimarProgram::finished, &application,
                     &QApplication::quit, Qt::QueuedConnection);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &program,
                     [&program](QSessionManager&) { program.requestQuit(); });
    if (!program.StartProgram(QApplication::arguments().mid(1)))
        return 0;
    return QApplication::exec();
}
