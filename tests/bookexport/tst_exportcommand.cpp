#include "support/CraftedJpeg.h"
#include "support/ProgramHome.h"

#include <QColor>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>

using namespace folimar;

namespace {

// A picture of noise, large as JPEGs go, so that saving takes a while.
QByteArray noisePicture() {
    QImage image(1600, 1600, QImage::Format_Grayscale8);
    QRandomGenerator noise(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.scanLine(y)[x] = uchar(noise.bounded(256));
    return testing::jpegBytes(image, 95);
}

// A small picture of a colour of its own for each number.
QByteArray colouredPicture(int number) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(number * 7 % 360, 255, 255));
    return testing::jpegBytes(image);
}

// The programs' home, with an older export of its book. Topics from 10 on, as many as
// `pictures`, have the picture `pictureOf` gives for their number, or all one of noise.
struct Home : testing::ProgramHome {
    explicit Home(int pictures = 0, const std::function<QByteArray(int)>& pictureOf = {})
        : ProgramHome(QStringLiteral("Topic %1 is read."), [&](store::BookStore& maker) {
              const QByteArray noise = pictures > 0 && !pictureOf ? noisePicture() : QByteArray();
              for (int number = 10; number < 10 + pictures; ++number)
                  maker.storeTopic({number, QStringLiteral("Picture"), QStringLiteral("A picture."),
                                    pictureOf ? pictureOf(number) : noise, std::nullopt});
          }) {
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

    // Whether the running program has a file open in the home's folder, the book aside.
    bool writingBeside() const {
        const QDir open(QStringLiteral("/proc/%1/fd").arg(process.processId()));
        for (const QFileInfo& fd : open.entryInfoList(QDir::Files | QDir::System)) {
            const QFileInfo file(fd.symLinkTarget());
            if (file.absolutePath() == dir.path() && file.fileName() != QLatin1String("book.fmr"))
                return true;
        }
        return false;
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

    // The pictures of a large book, read while the file is written, each keep their topic's
    // place, those with long notes before their frame too.
    void eachPictureKeepsItsPlace() {
        constexpr int Pictures = 40;
        const auto pictureOf = [](int number) {
            QByteArray jpeg = colouredPicture(number);
            for (int notes = 0; number % 3 == 0 && notes < 3; ++notes)
                jpeg.insert(2, QByteArray("\xFF\xFE\xEA\x62", 4) + QByteArray(60000, 'n'));
            return jpeg;
        };
        Home home(Pictures, pictureOf);
        QCOMPARE(home.run({"--export", "book.fmr", "book.pdf"}), 0);
        const QByteArray pdf = home.contents("book.pdf");
        qsizetype at = 0;
        for (int number = 10; number < 10 + Pictures; ++number) {
            at = pdf.indexOf(pictureOf(number), at);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("topic %1").arg(number)));
        }
    }

    // Killed while it writes, the export leaves the folder as it was: the older file and
    // nothing beside it.
    void aKilledExportLeavesOnlyTheOlderFile_data() {
        QTest::addColumn<QString>("output");
        QTest::newRow("pdf") << QStringLiteral("book.pdf");
        QTest::newRow("epub") << QStringLiteral("book.epub");
    }
    void aKilledExportLeavesOnlyTheOlderFile() {
        QFETCH(QString, output);
        Home home(40); // saving its pictures takes long enough to be caught at it
        QFile older(home.path(output));
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("older");
        older.close();
        home.start(QStringLiteral("folimar"), {"--export", "book.fmr", output});
        QTRY_VERIFY_WITH_TIMEOUT(home.writingBeside(), 60000);
        home.process.kill();
        QVERIFY(home.process.waitForFinished());
        QCOMPARE(home.process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(home.contents(output), QByteArray("older"));
        QStringList expected{"book.fmr", "book.pdf", output};
        expected.removeDuplicates();
        expected.sort();
        QCOMPARE(QDir(home.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);

        // Where a hidden file had to be named, one that a killed export left goes at the
        // next export to the same name; files of other names stay.
        const QString kept = QStringLiteral(".%1.kept").arg(output);
        for (const QString& name : {QStringLiteral(".%1.Ab12Cd").arg(output), kept}) {
            QFile file(home.path(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(home.run({"--export", "book.fmr", output, "--topics", "2-9"}), 0);
        expected << kept;
        expected.sort();
        QCOMPARE(QDir(home.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    }
};

QTEST_GUILESS_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
