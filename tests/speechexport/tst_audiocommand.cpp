#include "support/ProgramHome.h"

#include <QTest>
#include <csignal>
#include <sys/stat.h>

using namespace folimar;

namespace {

// The programs' home, with a text to read.
struct Home : testing::ProgramHome {
    Home() : ProgramHome(QStringLiteral("Topic %1 is read. It ends here.")) {
        QFile text(path("in.txt"));
        text.open(QIODevice::WriteOnly);
        text.write("Pasted words are read. Then saved.");
    }
};

} // namespace

class TestAudioCommand : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesABookOrATextFromTheTerminal_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QList<QByteArray>>("has");
        QTest::addColumn<QList<QByteArray>>("lacks");
        QTest::newRow("the whole book")
            << "folimar" << QStringList{"--audio", "book.fmr", "book.opus"}
            << QList<QByteArray>{"TITLE=book", "CHAPTER001NAME=Two", "CHAPTER003NAME=Nine"}
            << QList<QByteArray>{"CHAPTER004"};
        QTest::newRow("a range of topics")
            << "folimar" << QStringList{"--audio", "book.fmr", "book.opus", "--topics", "3-9"}
            << QList<QByteArray>{"CHAPTER001NAME=Five", "CHAPTER002NAME=Nine"}
            << QList<QByteArray>{"Two", "CHAPTER003"};
        QTest::newRow("a range past the last topic")
            << "folimar" << QStringList{"--audio", "book.fmr", "book.opus", "--topics", "5-99"}
            << QList<QByteArray>{"CHAPTER002NAME=Nine"} << QList<QByteArray>{"CHAPTER003"};
        QTest::newRow("a text") << "vocimar" << QStringList{"--audio", "in.txt", "in.opus"}
                                << QList<QByteArray>{"TITLE=in", "CHAPTER001NAME=in"}
                                << QList<QByteArray>{"CHAPTER002"};
        QTest::newRow("a text as WAV")
            << "vocimar" << QStringList{"--audio", "in.txt", "in.wav"}
            << QList<QByteArray>{"RIFF", "WAVEfmt "} << QList<QByteArray>{};
    }
    void savesABookOrATextFromTheTerminal() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QList<QByteArray>, has);
        QFETCH(QList<QByteArray>, lacks);
        Home home;
        QProcess* run = home.start(program, arguments);
        QVERIFY(home.finish());
        const QByteArray err = run->readAllStandardError();
        QCOMPARE(run->exitCode(), 0);
        const QByteArray said = run->readAllStandardOutput();
        QVERIFY2(said.startsWith("Saved " + arguments.at(2).toUtf8()), err.constData());
        // A range says which topics it found.
        if (arguments.contains(QStringLiteral("5-99")))
            QVERIFY2(said.contains("(2 topics, 5 to 9, of the 5 to 99 asked for; "), said);
        QVERIFY2(err.contains("100 %"), err.constData()); // progress on the terminal
        QFile saved(home.path(arguments.at(2)));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        for (const QByteArray& part : has)
            QVERIFY2(bytes.contains(part), part.constData());
        for (const QByteArray& part : lacks)
            QVERIFY2(!bytes.contains(part), part.constData());
    }

    void wrongStartsSayWhyAndSaveNothing_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("says");
        QTest::newRow("no output") << "folimar" << QStringList{"--audio", "book.fmr"} << 2
                                   << QByteArray("--audio BOOK.fmr OUT.opus [--topics FIRST-LAST]");
        QTest::newRow("not a sound file name")
            << "vocimar" << QStringList{"--audio", "in.txt", "in.mp3"} << 2
            << QByteArray("end it in .opus or .wav");
        QTest::newRow("a range that is not one")
            << "folimar" << QStringList{"--audio", "book.fmr", "o.opus", "--topics", "3-"} << 2
            << QByteArray("such as 3-17");
        QTest::newRow("topics of a text")
            << "vocimar" << QStringList{"--audio", "in.txt", "o.opus", "--topics", "1-2"} << 2
            << QByteArray("unknown option '--topics'");
        QTest::newRow("missing input") << "vocimar" << QStringList{"--audio", "gone.txt", "o.opus"}
                                       << 1 << QByteArray("\"gone.txt\" does not exist");
        QTest::newRow("not a book") << "folimar" << QStringList{"--audio", "in.txt", "o.opus"} << 1
                                    << QByteArray("is not a Folimar book");
        QTest::newRow("no topic in the range")
            << "folimar" << QStringList{"--audio", "book.fmr", "o.opus", "--topics", "10-20"} << 1
            << QByteArray("has no topics numbered 10 to 20");
        QTest::newRow("a folder that cannot be written")
            << "vocimar" << QStringList{"--audio", "in.txt", "in.txt/o.opus"} << 1
            << QByteArray("Cannot save \"o.opus\" in the folder");
        QTest::newRow("a pipe as the output")
            << "vocimar" << QStringList{"--audio", "in.txt", "pipe.opus"} << 1
            << QByteArray("\"pipe.opus\" is not a file");
    }
    void wrongStartsSayWhyAndSaveNothing() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, says);
        Home home;
        QCOMPARE(::mkfifo(QFile::encodeName(home.path("pipe.opus")).constData(), 0600), 0);
        const QStringList before = home.files();
        QProcess* run = home.start(program, arguments);
        QVERIFY(home.finish());
        QVERIFY(!QFileInfo(home.path("pipe.opus")).isFile());
        const QByteArray err = run->readAllStandardError();
        QCOMPARE(run->exitCode(), status);
        QVERIFY2(err.contains(says), err.constData());
        QCOMPARE(home.files(), before);
        QFile in(home.path("in.txt"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), QByteArray("Pasted words are read. Then saved."));
    }

    void anInterruptLeavesNoFile() {
        Home home;
        QFile text(home.path("long.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("A sentence to say again and again. ").repeated(2000));
        text.close();
        QProcess* run = home.start("vocimar", {"--audio", "long.txt", "long.opus"});
        QVERIFY(QTest::qWaitFor([run] { return run->readAllStandardError().contains("Saving"); },
                                20000));
        ::kill(pid_t(run->processId()), SIGINT);
        QVERIFY(home.finish());
        QCOMPARE(run->exitCode(), 128 + SIGINT);
        QCOMPARE(home.files(), (QStringList{"book.fmr", "in.txt", "long.txt"}));
        QVERIFY(QDir(home.path("tmp")).isEmpty()); // nor the sound waiting to be encoded
    }
};

QTEST_GUILESS_MAIN(TestAudioCommand)
#include "tst_audiocommand.moc"
