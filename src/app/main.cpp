#include "app/CommandLineImport.h"
#include "app/FolimarProgram.h"
#include "app/FolimarUsage.h"
#include "bookexport/ExportCommand.h"
#include "platform/commandline/ApplicationArgv.h"
#include "platform/commandline/CommandLineAnswer.h"
#include "platform/link/InstanceLinkAddress.h"
#include "platform/link/InstanceLinkClient.h"
#include "platform/paths/InstalledFiles.h"
#include "platform/registry/RegistryStore.h"
#include "speechexport/AudioCommand.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

int main(int argc, char* argv[]) {
    const QStringList arguments = folimar::platform::ArgumentsOf(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // `--audio BOOK OUT`: the book saved as sound, on the terminal, without windows.
    if (const auto status = folimar::speechexport::AnswerAudioCommand(
            argc, argv, arguments, folimar::speechexport::AudioSource::Book,
            folimar::app::FolimarUsage(), out, err))
        return *status;
    // `--export BOOK OUT.pdf`: the book saved for other programs, without windows.
    if (const auto status = folimar::bookexport::AnswerExportCommand(
            argc, argv, arguments, folimar::app::FolimarUsage(), out, err))
        return *status;
    // --help, --version and a wrong option are answered before any window or file is made.
    const auto line = folimar::platform::ParseCommandLine(arguments, /*takesOperands=*/true);
    if (const auto status =
            folimar::platform::AnswerCommandLine(line, folimar::app::FolimarUsage(), out, err))
        return *status;

    folimar::platform::ApplicationArgv qtArgv(argv[0], line.qtArguments);
    if (line.action == folimar::platform::CommandAction::Import) {
        // An import from the command line opens no window.
        QCoreApplication application(qtArgv.argc(), qtArgv.argv());
        QCoreApplication::setApplicationName(QStringLiteral("Folimar"));
        folimar::app::CommandLineImport import(folimar::platform::RegistryStorePath());
        QObject::connect(&import, &folimar::app::CommandLineImport::finished, &application,
                         &QCoreApplication::quit, Qt::QueuedConnection);
        if (!import.start(line.operands, line.importInto))
            return import.exitCode();
        QCoreApplication::exec();
        return import.exitCode();
    }
    QApplication application(qtArgv.argc(), qtArgv.argv());
    QApplication::setApplicationName(QStringLiteral("Folimar"));
    QApplication::setApplicationVersion(folimar::platform::ProjectVersion());
    QApplication::setDesktopFileName(QStringLiteral("folimar"));
    QApplication::setQuitOnLastWindowClosed(false);
    const folimar::platform::InstalledFiles installed(QApplication::applicationDirPath());
    const QString icon = installed.dataFile(QStringLiteral("icons/folimar.svg"));
    QApplication::setWindowIcon(icon.isEmpty() ? QIcon::fromTheme(QStringLiteral("folimar"))
                                               : QIcon(icon));

    // A start naming a book hands it to the instance that listens, answered or not, and ends.
    const QString linkPath =
        folimar::platform::InstanceLinkPath(folimar::platform::InstanceLinkFolder());
    const auto handOver = [&linkPath](const QString& bookPath) {
        if (linkPath.isEmpty() || !folimar::platform::EarlierInstanceRunning(linkPath))
            return false;
        folimar::platform::SendOpenRequest(bookPath, linkPath);
        return true;
    };
    folimar::app::FolimarProgram::Options options;
    options.registryStorePath = folimar::platform::RegistryStorePath();
    options.handOverToRunningInstance = handOver;
    folimar::app::FolimarProgram program(options);
    program.setInstanceLinkPath(linkPath);
    QObject::connect(&program, &folimar::app::FolimarProgram::finished, &application,
                     &QApplication::quit, Qt::QueuedConnection);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &program,
                     [&program](QSessionManager&) { program.requestQuit(); });
    if (!program.StartProgram(line.operands))
        return 0;
    return QApplication::exec();
}
