// Two figures of the tray reader:
// - from "&Paste and Play" to the first sentence handed to the character, for 100 KB of
//   clipboard text (plain and rich), in process with a scripted character; the baseline
//   puts the same text into a bare QTextEdit;
// - the real vocimar idling after start-up: CPU over 10 s and resident memory, read from
//   /proc. Under the offscreen platform there is no tray, so this is vocimar with its
//   window and the no-tray message shown, which costs more than the icon alone.
#include "BenchFigures.h"
#include "reader/ReaderWindow.h"
#include "reader/SentenceReader.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"
#include "tray/TrayReader.h"
#include "tray/VocimarProgram.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace folimar;

using folimar::bench::median;

namespace {

constexpr int Runs = 9;

// 100 KB of text in paragraphs of ten sentences, or (`paragraphs` false) as one paragraph.
QString hundredKilobytes(bool paragraphs) {
    QString text;
    for (int i = 0; text.size() < 100 * 1024; ++i) {
        text += QStringLiteral("Sentence number %1 is here to be read aloud. ").arg(i);
        if (paragraphs && i % 10 == 9)
            text += QLatin1Char('\n');
    }
    return text;
}

void settle() {
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

// Paste and Play until the first sentence is queued, the clipboard filled by `fill`.
double pasteAndPlayMs(const std::function<void(QMimeData&)>& fill) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
    testing::ScriptedDialogs dialogs;
    testing::ScriptedCharacterService service;
    service.completion = testing::ScriptedCharacter::Completion::Auto;
    testing::ManualClock clock;
    tray::VocimarProgram program({dialogs, service, clock},
                                 {home.path() + QStringLiteral("/registry.reg"),
                                  QCoreApplication::applicationDirPath(), [] { return true; }});
    program.StartProgram();
    testing::ScriptedCharacter& character = *service.last();

    std::vector<double> runs;
    for (int run = 0; run <= Runs; ++run) {
        auto* data = new QMimeData;
        fill(*data);
        QGuiApplication::clipboard()->setMimeData(data);
        const auto spoken = character.spoken.size();
        QElapsedTimer timer;
        timer.start();
        program.trayReader().mnuPaste_Play->trigger();
        while (character.spoken.size() == spoken)
            QCoreApplication::processEvents();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (run > 0) // the first run also waits for the character's start-up request
            runs.push_back(ms);
        program.readerWindow().findChild<QAction*>(QStringLiteral("mnuStop"))->trigger();
        settle();
    }
    return median(runs);
}

// The same text put into a shown, bare text box of the reader window's size and font.
double bareTextEditMs(const QString& text) {
    std::vector<double> runs;
    QTextEdit edit;
    edit.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    edit.resize(screen.width() * 3 / 4, screen.height() / 2);
    edit.show();
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        edit.clear();
        edit.setPlainText(text);
        QTextCursor end(edit.document());
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("."));
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(runs);
}

qint64 cpuTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields.at(11).toLongLong() + fields.at(12).toLongLong() : -1;
}

double residentMb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// The real vocimar, started with its own folders, measured once it has settled.
bool measureIdle(double& cpuPercent, double& rssMb) {
    QTemporaryDir home;
    QProcess vocimar;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    vocimar.setProcessEnvironment(env);
    vocimar.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vocimar"), {});
    if (!vocimar.waitForStarted(10000))
        return false;
    const qint64 pid = vocimar.processId();
    QThread::sleep(3); // start-up done, the character loaded
    const qint64 before = cpuTicks(pid);
    QThread::sleep(10);
    const qint64 after = cpuTicks(pid);
    rssMb = residentMb(pid);
    ::kill(pid_t(pid), SIGTERM);
    const bool ended = vocimar.waitForFinished(10000);
    if (!ended)
        vocimar.kill();
    if (before < 0 || after < 0 || rssMb < 0)
        return false;
    cpuPercent = 100.0 * double(after - before) / double(sysconf(_SC_CLK_TCK)) / 10.0;
    if (!ended || !QFile::exists(home.path() + QStringLiteral("/data/folimar/Vocimar.ini")))
        std::fprintf(stderr, "vocimar did not end cleanly on SIGTERM\n");
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QString text = hundredKilobytes(true);
    const QString oneParagraph = hundredKilobytes(false);
    QString html = QStringLiteral("<html><body>");
    for (const QString& paragraph : text.split(QLatin1Char('\n')))
        html += QStringLiteral("<p><b>") + paragraph.left(40) + QStringLiteral("</b>") +
                paragraph.mid(40) + QStringLiteral("</p>");
    html += QStringLiteral("</body></html>");

    std::printf("bench tray.paste_and_play_100kb %.2f ms\n",
                pasteAndPlayMs([&text](QMimeData& data) { data.setText(text); }));
    std::printf("bench tray.paste_and_play_100kb.baseline %.2f ms\n", bareTextEditMs(text));
    std::printf("bench tray.paste_and_play_100kb_rich %.2f ms\n",
                pasteAndPlayMs([&html, &text](QMimeData& data) {
                    data.setHtml(html);
                    data.setText(text);
                }));
    std::printf("bench tray.paste_and_play_100kb_one_paragraph %.2f ms\n",
                pasteAndPlayMs([&oneParagraph](QMimeData& data) { data.setText(oneParagraph); }));
    std::printf("bench tray.paste_and_play_100kb_one_paragraph.baseline %.2f ms\n",
                bareTextEditMs(oneParagraph));
    std::fflush(stdout);

    double cpu = 0;
    double rss = 0;
    if (!measureIdle(cpu, rss)) {
        std::fprintf(stderr, "could not measure the idle vocimar\n");
        return 1;
    }
    std::printf("bench tray.idle_cpu %.2f %%\n", cpu);
    std::printf("bench tray.idle_rss %.1f MB\n", rss);
    return 0;
}
