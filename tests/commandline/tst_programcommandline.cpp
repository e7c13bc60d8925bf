#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The programs as a terminal meets them: answers to --help, --version and wrong options come
// at once, without a window, and leave the user's folders untouched.
class TestProgramCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answersWithoutStarting_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("folimar --help")
            << "folimar" << QStringList{"--help"} << 0 << R"(^Usage: folimar .*XDG_DATA_HOME)"
            << "^$";
        QTest::newRow("folimar --version")
            << "folimar" << QStringList{"--version"} << 0 << R"(^folimar \d+\.\d+\n$)"
            << "^$";
        QTest::newRow("folimar unknown option")
            << "folimar" << QStringList{"--frobnicate", "a.fmr"} << 2 << "^$"
            << "^folimar: unknown option '--frobnicate'\nTry 'folimar --help'";
        QTest::newRow("folimar dashed book without --")
            << "folimar" << QStringList{"-odd.fmr"} << 2 << "^$"
            << "unknown option '-odd.fmr'";
        QTest::newRow("vocimar -h")
            << "vocimar" << QStringList{"-h"} << 0 << R"(^Usage: vocimar \[OPTION\]\.\.\.\n)"
            << "^$";
        QTest::newRow("vocimar -V")
            << "vocimar" << QStringList{"-V"} << 0 << R"(^vocimar \d+\.\d+\n$)"
            << "^$";
        QTest::newRow("vocimar given a file") << "vocimar" << QStringList{"notes.txt"} << 2 << "^$"
                                              << "^vocimar: unexpected argument 'notes.txt'";
    }
    void answersWithoutStarting() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        for (const char* folder : {"data", "config", "runtime", "tmp"})
            QVERIFY(QDir(home.path()).mkdir(folder));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
        env.insert("TMPDIR", home.filePath("tmp"));
        QProcess run;
        run.setProcessEnvironment(env);
        run.setWorkingDirectory(home.path());
        run.start(QStringLiteral(FOLIMAR_BIN_DIR "/") + program, arguments);
        QVERIFY(run.waitForStarted());
        if (!run.waitForFinished(15000)) {
            run.kill();
            run.waitForFinished();
            QFAIL("the program started instead of answering");
        }
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), status);
        const QString stdOut = QString::fromLocal8Bit(run.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(run.readAllStandardError());
        const auto dotAll = QRegularExpression::DotMatchesEverythingOption;
        QVERIFY2(QRegularExpression(out, dotAll).match(stdOut).hasMatch(), qPrintable(stdOut));
        QVERIFY2(QRegularExpression(err, dotAll).match(stdErr).hasMatch(), qPrintable(stdErr));
        for (const char* folder : {"data", "config", "runtime", "tmp"})
            QVERIFY2(QDir(home.filePath(folder)).isEmpty(), folder);
    }
};

QTEST_GUILESS_MAIN(TestProgramCommandLine)
#include "tst_programcommandline.moc"
