#include "support/ProgramHome.h"

#include <QTest>

using namespace folimar;

namespace {

// The programs' home, with an older export of its book.
struct Home : testing::ProgramHome {
    Home() : ProgramHome(QStringLiteral("Topic %1 is read.")) {
        QFile older(path("book.pdf"));
        older.open(QIODevice::WriteOnly);
        older.write("older");
    }
    QByteArray contents(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    int run(const QStringList& arguments) {
        start(QStringLiteral("folimar"), arguments);
        if (!finish(60000))
            return -1;
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        return process.exitCode();
    }

    QByteArray out;
    QByteArray err;
};

} // namespace

class TestExportCommand : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesTheBookAndTellsEachTopicWhenAsked() {
        Home home;
        QCOMPARE(home.run({"--export", "book.fmr", "book.pdf", "--topics", "3-9", "--verbose"}), 0);
        QCOMPARE(home.out,
                 QByteArray("Topic 5, Five\nTopic 9, Nine\nSaved book.pdf (2 topics).\n"));
        QVERIFY(home.contents("book.pdf").startsWith("%PDF-"));
        QCOMPARE(home.run({"--export", "book.fmr", "book.pdf"}), 0);
        QCOMPARE(home.out, QByteArray("Saved book.pdf (3 topics).\n"));
        QCOMPARE(home.run({"--export", "book.fmr", "book.epub", "--topics", "5"}), 0);
        QCOMPARE(home.out, QByteArray("Saved book.epub (1 topic).\n"));
        QVERIFY(home.contents("book.epub").startsWith("PK\3\4"));
        // Both are titled with the book's name ("book" in UTF-16 in the PDF).
        QVERIFY(home.contents("book.pdf").contains("/Title <FEFF0062006F006F006B>"));
        QVERIFY(home.contents("book.epub").contains("<dc:title>book</dc:title>"));
    }

    void wrongStartsSayWhyAndKeepTheOlderFile_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("says");
        QTest::newRow("unknown extension")
            << QStringList{"--export", "book.fmr", "book.doc"} << 2 << QByteArray("end it in .pdf");
        QTest::newRow("no output")
            << QStringList{"--export", "book.fmr"} << 2 << QByteArray("--export BOOK.fmr OUT.pdf");
        QTest::newRow("no such topics")
            << QStringList{"--export", "book.fmr", "book.pdf", "--topics", "10-20"} << 1
            << QByteArray("has no topics numbered 10 to 20");
        QTest::newRow("not a book") << QStringList{"--export", "book.pdf", "book.pdf"} << 1
                                    << QByteArray("is not a Folimar book");
        QTest::newRow("an unwritable place")
            << QStringList{"--export", "book.fmr", "book.fmr/out.pdf"} << 1
            << QByteArray("Cannot save \"out.pdf\" in the folder");
    }
    void wrongStartsSayWhyAndKeepTheOlderFile() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, says);
        Home home;
        QCOMPARE(home.run(arguments), status);
        QVERIFY2(home.err.contains(says), home.err.constData());
        QCOMPARE(home.contents("book.pdf"), QByteArray("older"));
        QCOMPARE(QDir(home.dir.path()).entryList(QDir::Files),
                 (QStringList{"book.fmr", "book.pdf"}));
    }
};

QTEST_GUILESS_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
