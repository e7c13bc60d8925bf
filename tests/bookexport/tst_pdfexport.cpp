#include "bookexport/PdfExport.h"
#include "bookexport/PictureWords.h"
#include "platform/database/Workspace.h"
#include "recognition/WordBoxBlob.h"
#include "store/BookFields.h"
#include "store/BookSchema.h"
#include "support/ProgramHome.h"
#include "support/SkipOutsideCi.h"
#include "support/TestPage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar;

namespace {

constexpr double Dpi = 300;

QByteArray jpegOf(const QImage& image) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return buffer.data();
}

// The words drawn on a test page, as the recognition would have kept them.
QByteArray boxesOf(const testing::TestPage& page) {
    recognition::PageText read{page.text, {}};
    qsizetype from = 0;
    for (const auto& [word, place] : page.words) {
        const qsizetype at = page.text.indexOf(word, from);
        read.words.append({place.toAlignedRect(), qint32(at), qint32(word.size())});
        from = at + word.size();
    }
    return recognition::encodeWordBoxes(read);
}

QString run(const QString& program, const QStringList& arguments, QString* errors = nullptr) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (errors)
        *errors = QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The JPEG with an EXIF block after its JFIF header that tells viewers to turn it.
QByteArray withOrientation(QByteArray jpeg, int orientation) {
    QByteArray exif("Exif\0\0MM\0\x2a\0\0\0\x08" // big-endian, the entries next
                    "\0\x01"                     // one entry:
                    "\x01\x12\0\x03\0\0\0\x01",  // the orientation, one short,
                    24);
    exif += char(0);
    exif += char(orientation);
    exif += QByteArray(6, '\0'); // the rest of its value, then no more entries
    const QByteArray segment =
        QByteArray("\xFF\xE1", 2) + char((exif.size() + 2) >> 8) + char(exif.size() + 2) + exif;
    const int jfifEnd = 4 + (uchar(jpeg[4]) << 8 | uchar(jpeg[5]));
    return jpeg.insert(jfifEnd, segment);
}

QString words(const QString& text) {
    return text.simplified();
}

const QStringList Lines{QStringLiteral("Searching the scans finds these words"),
                        QStringLiteral("where they stand on the page.")};

struct Book {
    Book() {
        scanned = testing::makeTestPage(Lines, {1240, 600}, 0.0);
        book.title = QStringLiteral("Scans");
        book.author = QStringLiteral("Ann Reader");
        book.topics = {
            {1, QStringLiteral("Scanned"), scanned.text, jpegOf(scanned.image), boxesOf(scanned)},
            {2,
             QStringLiteral("Typed"),
             QStringLiteral("A page typed in, with no picture."),
             {},
             {}},
            // Corrected after it was read: the words it has no boxes for make a block.
            {3,
             QStringLiteral("Unread"),
             QStringLiteral("Picture text kept as a block."),
             jpegOf(testing::makeTestPage({QStringLiteral("Other words")}, {600, 300}).image),
             {}},
        };
    }
    testing::TestPage scanned;
    bookexport::ExportedBook book;
};

} // namespace

class TestPdfExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            FOLIMAR_SKIP_OUTSIDE_CI("pdftotext (poppler-utils) is not installed");
    }

    void pagesCarryTheirPicturesAndSearchableText() {
        const Book made;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("scans.pdf"));
        const std::atomic<bool> cancelled{false};
        QList<int> topicsDone;
        const auto outcome = bookexport::exportPdf(
            made.book, path, [&](double, int done) { topicsDone << done; }, cancelled);
        QVERIFY2(outcome.status == bookexport::BookExportOutcome::Status::Saved,
                 qPrintable(outcome.message));
        QCOMPARE(topicsDone.last(), 3);

        const QString info = run(QStringLiteral("pdfinfo"), {path});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Scans\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Author:\\s+Ann Reader\\n"))),
                 qPrintable(info));
        // The scanned page is the picture's size at its resolution: 1240 x 600 at 300 dpi.
        const QString first = run(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "1", path});
        QVERIFY2(first.contains(QStringLiteral("297.6 x 144 pts")), qPrintable(first));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains(made.book.topics[0].picture)); // stored JPEGs as they are
        QVERIFY(bytes.contains(made.book.topics[2].picture));

        const QStringList expected{words(made.scanned.text),
                                   QStringLiteral("Typed A page typed in, with no picture."),
                                   QStringLiteral("Picture text kept as a block.")};
        for (int page = 1; page <= 3; ++page) {
            const QString text =
                run(QStringLiteral("pdftotext"),
                    {"-f", QString::number(page), "-l", QString::number(page), path, "-"});
            QCOMPARE(words(text), expected[page - 1]);
        }

        // Each word lies within a few pixels of where it was read.
        const QString boxes =
            run(QStringLiteral("pdftotext"), {"-bbox", "-f", "1", "-l", "1", path, "-"});
        static const QRegularExpression word(QStringLiteral(
            "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
            "([^<]*)</word>"));
        qsizetype found = 0;
        for (auto it = word.globalMatch(boxes); it.hasNext(); ++found) {
            const QRegularExpressionMatch m = it.next();
            QVERIFY(found < made.scanned.words.size());
            const auto& [drawn, place] = made.scanned.words[found];
            QCOMPARE(m.captured(5), drawn);
            const QRectF read = place.toAlignedRect();
            const auto near = [](const QString& points, double pixels) {
                return std::abs(points.toDouble() * Dpi / 72 - pixels) <= 3;
            };
            QVERIFY2(near(m.captured(1), read.left()) && near(m.captured(3), read.right()) &&
                         near(m.captured(2), read.top()) && near(m.captured(4), read.bottom()),
                     qPrintable(m.captured(0)));
        }
        QCOMPARE(found, made.scanned.words.size());
    }

    void aFailedOrCancelledExportKeepsTheOlderFile() {
        const Book made;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("scans.pdf"));
        QFile older(path);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("older");
        older.close();
        std::atomic<bool> cancelled{false};
        // Cancelled as the first page is done, and as the last is, before the file is in place.
        for (const double at : {0.0, 0.7}) {
            cancelled = false;
            const auto outcome = bookexport::exportPdf(
                made.book, path, [&](double share, int) { cancelled = cancelled || share >= at; },
                cancelled);
            QVERIFY(outcome.status == bookexport::BookExportOutcome::Status::Cancelled);
        }
        // A page whose picture is damaged fails the export.
        bookexport::ExportedBook damaged = made.book;
        damaged.topics[2].picture.truncate(40);
        cancelled = false;
        const auto outcome = bookexport::exportPdf(
            damaged, path, [](double, int) {}, cancelled);
        QVERIFY(outcome.status == bookexport::BookExportOutcome::Status::Failed);
        QVERIFY2(outcome.message.startsWith(QStringLiteral("Topic 3, \"Unread\"")),
                 qPrintable(outcome.message));

        // A picture that changes in the book after its page was made fails the export.
        const testing::ProgramHome home(QStringLiteral("%1"), [&](store::BookStore& maker) {
            maker.storeTopic({10, QStringLiteral("Scanned"), made.scanned.text,
                              made.book.topics[0].picture, std::nullopt});
        });
        bookexport::ExportedBook inFile{
            QStringLiteral("book"), {}, {{10, QStringLiteral("Scanned"), {}, {}, {}}},
            home.path(QStringLiteral("book.fmr"))};
        const auto change = [&] {
            database::Workspace workspace;
            const auto book = workspace.openDatabase(inFile.picturesFrom, {},
                                                     store::schema::OpenConnect);
            const qint64 row = book->connection()
                                   .scalar(QStringLiteral("SELECT rowid FROM Sitedata "
                                                          "WHERE TopicNo = 10"))
                                   .toLongLong();
            return store::writeBookField(book->connection(), row, store::schema::PictureField,
                                         made.book.topics[2].picture);
        };
        bool changed = false;
        const auto changedOutcome = bookexport::exportPdf(
            inFile, path, [&](double, int) { changed = changed || change(); }, cancelled);
        QVERIFY(changed);
        QVERIFY(changedOutcome.status == bookexport::BookExportOutcome::Status::Failed);
        QVERIFY2(changedOutcome.message.startsWith(QStringLiteral("Topic 10, \"Scanned\": its "
                                                                  "picture changed")),
                 qPrintable(changedOutcome.message));

        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("older"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"scans.pdf"});
    }

    // A JPEG stored as the camera held it shows upright, the size of the upright picture,
    // with its words over it where they stand on the upright picture.
    void turnedJpegsShowUpright_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QTransform>("stored"); // from the upright picture
        QTest::newRow("mirrored") << 2 << QTransform::fromScale(-1, 1);
        QTest::newRow("upside down") << 3 << QTransform().rotate(180);
        QTest::newRow("quarter left") << 6 << QTransform().rotate(270);
        QTest::newRow("quarter right") << 8 << QTransform().rotate(90);
    }
    void turnedJpegsShowUpright() {
        QFETCH(int, orientation);
        QFETCH(QTransform, stored);
        const testing::TestPage upright = testing::makeTestPage(Lines, {1240, 600}, 0.0);
        QImage marked = upright.image;
        QPainter(&marked).fillRect(0, 0, 90, 60, Qt::black); // its top left corner
        QImage turned = marked.transformed(stored);
        turned.setDotsPerMeterX(marked.dotsPerMeterX());
        turned.setDotsPerMeterY(marked.dotsPerMeterY());
        bookexport::ExportedBook book;
        book.topics = {{1, QStringLiteral("Turned"), upright.text,
                        withOrientation(jpegOf(turned), orientation), boxesOf(upright)}};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("turned.pdf"));
        const std::atomic<bool> cancelled{false};
        QVERIFY(bookexport::exportPdf(
                    book, path, [](double, int) {}, cancelled)
                    .status == bookexport::BookExportOutcome::Status::Saved);

        const QString info = run(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "1", path});
        QVERIFY2(info.contains(QStringLiteral("297.6 x 144 pts")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("rot:\\s+0\\n"))),
                 qPrintable(info));
        const QString boxes = run(QStringLiteral("pdftotext"), {"-bbox", path, "-"});
        const QRectF first = upright.words[0].second;
        QVERIFY2(boxes.contains(QStringLiteral("xMin=\"%1.").arg(int(first.left() * 72 / Dpi))) &&
                     boxes.contains(QStringLiteral(">%1</word>").arg(upright.words[0].first)),
                 qPrintable(boxes.left(400)));
        // Drawn at a point a pixel: only the top left corner is dark.
        run(QStringLiteral("pdftoppm"),
            {"-r", "72", "-gray", "-singlefile", path, dir.filePath(QStringLiteral("shown"))});
        const QImage shown(dir.filePath(QStringLiteral("shown.pgm")));
        QCOMPARE(shown.size(), QSize(298, 144));
        const QList<QPoint> corners{{5, 5}, {292, 5}, {5, 138}, {292, 138}};
        for (qsizetype i = 0; i < corners.size(); ++i)
            QVERIFY2((qGray(shown.pixel(corners[i])) < 128) == (i == 0),
                     qPrintable(QStringLiteral("corner %1").arg(i)));
    }

    // Text extraction reads every letter of the invisible text, accented or of another
    // script, and finds nothing in the file to warn of.
    void extractionReadsEveryScriptCleanly() {
        bookexport::ExportedBook book;
        book.topics = {{1, QStringLiteral("Letters"), QStringLiteral("Café Мир 中文"), {}, {}}};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("letters.pdf"));
        const std::atomic<bool> cancelled{false};
        QVERIFY(bookexport::exportPdf(
                    book, path, [](double, int) {}, cancelled)
                    .status == bookexport::BookExportOutcome::Status::Saved);
        QString warnings;
        const QString text = run(QStringLiteral("pdftotext"), {path, "-"}, &warnings);
        QCOMPARE(words(text), QStringLiteral("Letters Café Мир 中文"));
        QCOMPARE(warnings, QString());
    }

    // Words the text gained since it was read follow their neighbours; a word hyphenated
    // over a line end is parted between its boxes.
    void wordsWithoutBoxesKeepTheirOrder() {
        const QString read = QStringLiteral("one twothree four");
        const recognition::PageText page{read,
                                         {{QRect(10, 10, 30, 10), 0, 3},
                                          {QRect(50, 10, 30, 10), 4, 3},
                                          {QRect(10, 30, 50, 10), 7, 5},
                                          {QRect(70, 30, 40, 10), 13, 4}}};
        const QList<bookexport::WordOnPicture> placed =
            bookexport::wordsOnPicture(QStringLiteral("new one twothree four more"),
                                       recognition::encodeWordBoxes(page), {200, 100});
        QStringList order;
        for (const auto& word : placed)
            order << word.text;
        QCOMPARE(order, QStringList({"new", "one", "two", "three", "four", "more"}));
        QCOMPARE(placed[3].box, QRectF(10, 30, 50, 10));
        QVERIFY(placed[0].box.right() < placed[1].box.left());
        QVERIFY(placed[5].box.left() > placed[4].box.right());
        QCOMPARE(placed[5].box.top(), placed[4].box.top());
    }
};

QTEST_MAIN(TestPdfExport)
#include "tst_pdfexport.moc"
