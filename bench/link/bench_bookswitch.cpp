// Book switching as the File commands and a later start do it:
//  - book_switch: from a modified 3,000-topic book to another one, until the new book's
//    first page is shown, beside compacting the modified book alone (baseline);
//  - handover: a later start handing its book to the running program, from its launch
//    until the running program has shown the book's first page;
//  - merge: a 1,000-topic book merged into another, beside `cp` of its file (baseline).

#include "BenchFigures.h"
#include "LargeBook.h"
#include "app/FolimarProgram.h"
#include "bookwindow/BookFileCommands.h"
#include "platform/paths/ProgramLocations.h"
#include "settings/SettingsFile.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace folimar;
using bench::median;
using bench::report;

namespace {

constexpr int SwitchRounds = 3;
constexpr int HandOverRounds = 9;
constexpr int MergeRounds = 3;

// A user of the benchmark's own: its data and configuration folders, and the program set
// not to read at start-up with `bookPath` as its book.
struct BenchHome {
    explicit BenchHome(const QString& bookPath = {}) {
        QDir().mkpath(locations.NotesFolder);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        settings::Settings settings;
        settings.PlayAtStartup = 1;
        settings.BookPath = bookPath;
        settings::SaveSettings(settings, locations);
    }
    QString file(const QString& name) const { return root.filePath(name); }
    QString copyOf(const QString& book, const QString& name) const {
        QFile::remove(file(name));
        return QFile::copy(book, file(name)) ? file(name) : QString();
    }

    QTemporaryDir root;
    QString runtime = root.filePath(QStringLiteral("run"));
    platform::ProgramLocations locations{
        root.filePath(QStringLiteral("data/folimar")), root.filePath(QStringLiteral("tmp")),
        root.filePath(QStringLiteral("data/folimar/notes")), root.path(), QString()};
};

bool measureSwitch(const QString& large, const QString& small) {
    std::vector<double> switching;
    std::vector<double> compacting;
    for (int round = 0; round < SwitchRounds; ++round) {
        {
            BenchHome home;
            const QString book = home.copyOf(large, QStringLiteral("Large.fmr"));
            const QString next = home.copyOf(small, QStringLiteral("Next.fmr"));
            if (book.isEmpty() || next.isEmpty())
                return false;
            settings::Settings settings;
            settings.PlayAtStartup = 1;
            settings.BookPath = book;
            settings::SaveSettings(settings, home.locations);
            qputenv("XDG_DATA_HOME", QFile::encodeName(home.file(QStringLiteral("data"))));
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.file(QStringLiteral("config"))));
            app::FolimarProgram::Options options;
            options.registryStorePath = home.file(QStringLiteral("config/registry.reg"));
            app::FolimarProgram program(options);
            program.StartProgram({});
            QCoreApplication::processEvents();
            program.store().storeTopic(
                {1, QStringLiteral("Changed"), QStringLiteral("A change."), {}, {}});
            switching.push_back(bench::elapsedMs([&] {
                program.fileCommands().openHandedOverBook(next);
                QCoreApplication::processEvents();
            }));
            if (program.settings().BookPath != next)
                return false;
        }
        BenchHome home;
        settings::Settings settings;
        settings.BookPath = home.copyOf(large, QStringLiteral("Alone.fmr"));
        testing::ScriptedDialogs dialogs;
        store::BookStore store{
            settings, {home.locations.ProgramFolder, home.locations.NotesFolder}, dialogs};
        store.LoadBook();
        store.storeTopic({1, QStringLiteral("Changed"), QStringLiteral("A change."), {}, {}});
        compacting.push_back(bench::elapsedMs([&] { store.CloseAndCompactBook(); }));
    }
    report("book_switch", median(switching));
    report("book_switch", median(compacting), true);
    return true;
}

// Waits until `process` has written `text` to its error output; false when it ends first.
bool awaitLog(QProcess& process, QByteArray& log, const QByteArray& text) {
    while (!log.contains(text)) {
        if (process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(20);
        log += process.readAllStandardError();
    }
    return true;
}

bool measureHandOver(const QString& small) {
    BenchHome home;
    const QString books[] = {home.copyOf(small, QStringLiteral("First.fmr")),
                             home.copyOf(small, QStringLiteral("Second.fmr"))};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.runtime);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.file(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.file(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("folimar.app.info=true"));
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/folimar");

    QProcess running;
    running.setProcessEnvironment(env);
    running.start(program, {});
    QByteArray log;
    if (!awaitLog(running, log, "taking handed-over books"))
        return false;
    std::vector<double> times;
    for (int round = 0; round < HandOverRounds; ++round) {
        const QString& book = books[round % 2];
        const QByteArray done = "handed-over book done: " + book.toUtf8();
        log.clear();
        QProcess later;
        later.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        later.start(program, {book});
        if (!awaitLog(running, log, done))
            return false;
        times.push_back(timer.nsecsElapsed() / 1e6);
        later.waitForFinished(30000);
    }
    running.terminate();
    running.waitForFinished(30000);
    report("handover", median(times));
    return true;
}

bool measureMerge(const QString& source, const QString& small) {
    std::vector<double> merging;
    std::vector<double> copying;
    for (int round = 0; round < MergeRounds; ++round) {
        BenchHome home;
        settings::Settings settings;
        settings.BookPath = home.copyOf(small, QStringLiteral("Target.fmr"));
        testing::ScriptedDialogs dialogs;
        store::BookStore store{
            settings, {home.locations.ProgramFolder, home.locations.NotesFolder}, dialogs};
        store.LoadBook();
        store.MergePath = source;
        bool merged = false;
        merging.push_back(bench::elapsedMs([&] {
            store.OpenMergeSource();
            merged = bool(store.mergeSource());
            store.CloseMergeSource();
            store.topicList(); // the list refill
        }));
        if (!merged)
            return false;
        const QString copy = home.file(QStringLiteral("copy.fmr"));
        copying.push_back(bench::elapsedMs([&] {
            QProcess::execute(QStringLiteral("cp"), {source, copy});
        }));
    }
    report("merge", median(merging));
    report("merge", median(copying), true);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QString cache = bench::defaultBenchFolder();
    const QString large = bench::largeBook(3000, cache);
    const QString source = bench::largeBook(1000, cache);
    const QString small = bench::largeBook(20, cache);
    if (large.isEmpty() || source.isEmpty() || small.isEmpty()) {
        std::fprintf(stderr, "bench_bookswitch: cannot make the books in %s\n", qPrintable(cache));
        return 1;
    }
    if (!measureSwitch(large, small) || !measureHandOver(small) || !measureMerge(source, small)) {
        std::fprintf(stderr, "bench_bookswitch: a measurement failed\n");
        return 1;
    }
    return 0;
}
