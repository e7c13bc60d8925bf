// Start-up until both of Folimar's windows are shown, beside a bare Qt program that shows
// two windows, in the same run. Each start is a fresh process (this program started again
// in one of two child modes), timed from launch until the child reports both windows
// exposed; both children load the same libraries, so the difference is Folimar's own
// start-up work: settings, the book store (two key derivations) and the windows.

#include "BenchFigures.h"
#include "app/FolimarProgram.h"
#include "bookwindow/BookWindow.h"
#include "reader/ReaderWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

using folimar::bench::median;

namespace {

void waitUntilExposed(QWidget& a, QWidget& b) {
    while (!(a.windowHandle() && a.windowHandle()->isExposed() && b.windowHandle() &&
             b.windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::puts("shown");
    std::fflush(stdout);
}

int runBare() {
    QMainWindow first;
    QMainWindow second;
    first.setCentralWidget(new QTextEdit);
    first.show();
    second.show();
    waitUntilExposed(first, second);
    return 0;
}

int runFolimar(const QString& home) {
    folimar::app::FolimarProgram::Options options;
    options.registryStorePath = home + QStringLiteral("/config/registry.reg");
    folimar::app::FolimarProgram program(options);
    program.StartProgram({});
    waitUntilExposed(program.readerWindow(), program.bookWindow());
    program.requestQuit();
    QCoreApplication::processEvents();
    return 0;
}

double timeChild(const QString& mode, const QString& home) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {mode});
    while (!child.canReadLine() && child.state() != QProcess::NotRunning)
        child.waitForReadyRead(5000);
    const double ms = timer.nsecsElapsed() / 1e6;
    child.waitForFinished(10000);
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1 && args.at(1) == QLatin1String("--bare"))
        return runBare();
    if (args.size() > 1 && args.at(1) == QLatin1String("--folimar"))
        return runFolimar(qEnvironmentVariable("XDG_CONFIG_HOME").section(QLatin1Char('/'), 0, -2));

    QTemporaryDir home;
    std::vector<double> bare;
    std::vector<double> first;
    std::vector<double> later;
    timeChild(QStringLiteral("--bare"), home.path()); // warm the page cache
    for (int run = 0; run < 7; ++run) {
        QTemporaryDir fresh;
        first.push_back(timeChild(QStringLiteral("--folimar"), fresh.path()));
        later.push_back(timeChild(QStringLiteral("--folimar"), home.path()));
        bare.push_back(timeChild(QStringLiteral("--bare"), home.path()));
    }
    std::printf("bench startup.first_run %.1f ms\n", median(first));
    std::printf("bench startup.existing_book %.1f ms\n", median(later));
    std::printf("bench startup.baseline %.1f ms\n", median(bare));
    return 0;
}
