// `folimar --import`: the built program adds pages to a book without a window.
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ImportFiles.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace folimar;

namespace {

struct ImportRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// A user of their own, with a book of one topic.
struct UserHome {
    QTemporaryDir root;
    QString book = root.filePath(QStringLiteral("book.fmr"));

    UserHome() {
        QDir().mkpath(root.filePath(QStringLiteral("run")));
        QFile::setPermissions(root.filePath(QStringLiteral("run")), QFileDevice::ReadOwner |
                                                                        QFileDevice::WriteOwner |
                                                                        QFileDevice::ExeOwner);
        QTemporaryDir scratch;
        settings::Settings settings;
        testing::ScriptedDialogs dialogs;
        store::BookStore maker{settings, {scratch.path(), scratch.path()}, dialogs};
        maker.LoadBook();
        maker.storeTopic({1, QStringLiteral("Cover"), QStringLiteral("Title."), {}, {}});
        maker.CloseAndCompactBook();
        QFile::rename(maker.untitledBookPath(), book);
    }

    ImportRun run(const QStringList& arguments) const {
        QProcess process;
        start(process, arguments);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

    void start(QProcess& process, const QStringList& arguments) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(root.path());
        process.start(QStringLiteral(FOLIMAR_BIN_DIR "/folimar"), arguments);
    }

    QList<store::TopicEntry> topics() const {
        settings::Settings settings;
        settings.BookPath = book;
        testing::ScriptedDialogs dialogs;
        QTemporaryDir program;
        store::BookStore reader{settings, {program.path(), program.path()}, dialogs};
        reader.StartStore();
        return reader.topicList();
    }
};

} // namespace

class CommandLineImportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void importAddsPagesToTheNamedBookOnly();
    void terminationEndsThePasswordQuestion();
    void interruptingTheImportKeepsThePagesDone();
};

void CommandLineImportTest::importAddsPagesToTheNamedBookOnly() {
    UserHome home;
    testing::writeTextPdf(home.root.filePath(QStringLiteral("Report.pdf")),
                          {QStringLiteral("One."), QStringLiteral("Two.")});

    // A book a running Folimar holds is refused, and left as it was.
    {
        settings::Settings settings;
        settings.BookPath = home.book;
        testing::ScriptedDialogs dialogs;
        QTemporaryDir program;
        store::BookStore running{settings, {program.path(), program.path()}, dialogs};
        running.StartStore();
        const ImportRun refused =
            home.run({QStringLiteral("--import"), QStringLiteral("Report.pdf"),
                      QStringLiteral("--into"), QStringLiteral("book.fmr")});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("is open in a running Folimar")),
                 qPrintable(refused.err));
    }
    QCOMPARE(home.topics().size(), 1);

    const ImportRun missing = home.run({QStringLiteral("--import"), QStringLiteral("Report.pdf"),
                                        QStringLiteral("--into"), QStringLiteral("none.fmr")});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY(missing.err.contains(QStringLiteral("none.fmr does not exist")));

    const ImportRun done = home.run({QStringLiteral("--import"), QStringLiteral("Report.pdf"),
                                     QStringLiteral("--into"), QStringLiteral("book.fmr")});
    QVERIFY2(done.exitCode == 0, qPrintable(done.err));
    QCOMPARE(done.out, QStringLiteral("2 pages imported.\n"));
    QVERIFY(done.err.contains(QStringLiteral("Page 2 of 2 done.")));
    const QList<store::TopicEntry> expected{{1, "Cover"}, {2, "Report p.1"}, {3, "Report p.2"}};
    QCOMPARE(home.topics(), expected);
}

void CommandLineImportTest::terminationEndsThePasswordQuestion() {
    UserHome home;
    const QString plain = home.root.filePath(QStringLiteral("plain.pdf"));
    testing::writeTextPdf(plain, {QStringLiteral("Secret page.")});
    QCOMPARE(
        QProcess::execute(QStringLiteral("qpdf"),
                          {QStringLiteral("--encrypt"), QStringLiteral("sesame"),
                           QStringLiteral("owner"), QStringLiteral("256"), QStringLiteral("--"),
                           plain, home.root.filePath(QStringLiteral("Locked.pdf"))}),
        0);

    // The question waits on an input that never answers until SIGTERM comes.
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    home.start(process, {QStringLiteral("--import"), QStringLiteral("Locked.pdf"),
                         QStringLiteral("--into"), QStringLiteral("book.fmr")});
    QByteArray err;
    while (!err.contains("Type its password:") && process.waitForReadyRead(30000))
        err += process.readAllStandardError();
    QVERIFY2(err.contains("Type its password:"), err.constData());
    process.terminate();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + SIGTERM);
    QCOMPARE(home.topics().size(), 1);
}

// Ctrl+C once pages are being imported: the pages stored stay, the summary says so, and
// the command ends as one that did not do all it was asked.
void CommandLineImportTest::interruptingTheImportKeepsThePagesDone() {
    UserHome home;
    QStringList pages;
    for (int i = 1; i <= 400; ++i)
        pages << QStringLiteral("Page %1.").arg(i);
    testing::writeTextPdf(home.root.filePath(QStringLiteral("Long.pdf")), pages);
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    home.start(process, {QStringLiteral("--import"), QStringLiteral("Long.pdf"),
                         QStringLiteral("--into"), QStringLiteral("book.fmr")});
    QByteArray err;
    while (!err.contains("Page 2 of 400 done.") && process.waitForReadyRead(30000))
        err += process.readAllStandardError();
    QVERIFY2(err.contains("Page 2 of 400 done."), err.constData());
    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QRegularExpressionMatch summary =
        QRegularExpression(QStringLiteral("^(\\d+) pages imported\\. The import was "
                                          "cancelled\\.\n$"))
            .match(out);
    QVERIFY2(summary.hasMatch(), qPrintable(out));
    err += process.readAllStandardError();
    QVERIFY2(err.contains("folimar: interrupted; the pages imported so far are kept in book.fmr"),
             err.constData());
    const int imported = summary.captured(1).toInt();
    QVERIFY(imported >= 2 && imported < 400);
    QCOMPARE(home.topics().size(), 1 + imported);
}

QTEST_MAIN(CommandLineImportTest)
#include "tst_commandlineimport.moc"
