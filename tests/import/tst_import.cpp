#include "import/BookImport.h"
#include "import/ImportPlan.h"
#include "import/PageResolution.h"
#include "import/PictureFile.h"
#include "import/UnreadablePicture.h"
#include "pictures/PictureReading.h"
#include "pictures/TiffDirectories.h"
#include "recognition/RecognitionLanguages.h"
#include "recognition/WordBoxBlob.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ImportFiles.h"
#include "support/LargePictures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestPage.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace folimar;
using import::BookImport;
using import::ImportSummary;

namespace {

// The untitled book of a fresh program folder.
struct ImportBook {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("program"));
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store{settings, {program, program + QStringLiteral("/notes")}, dialogs};

    ImportBook() {
        QDir().mkpath(program + QStringLiteral("/notes"));
        store.StartStore();
    }
    QString file(const QString& name) const { return root.filePath(name); }
    void put(int topicNo) {
        QVERIFY(store.storeTopic({topicNo, QStringLiteral("old %1").arg(topicNo),
                                  QStringLiteral("old text"), "jpeg", std::nullopt}));
    }
    // Runs an import of `paths` to its end; the summary it gave.
    ImportSummary import(const QStringList& paths, int workers = 2,
                         const QString& languages = QString()) {
        BookImport run(
            store, import::planImport(paths, {}),
            {{75, recognition::tessdataFolder(), languages}, QStringLiteral("ann"), workers});
        QSignalSpy finished(&run, &BookImport::finished);
        if (run.start() != BookImport::Start::Started)
            return {};
        finished.wait(20000);
        return finished.isEmpty() ? ImportSummary{}
                                  : finished.first().first().value<ImportSummary>();
    }
    void reopen() {
        store.CloseAndCompactBook();
        store.LoadBook();
    }
};

QSize jpegSize(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "jpeg");
    return reader.size();
}

QByteArray encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(picture);
    return bytes;
}

} // namespace

class ImportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textLayerPagesFollowTheLastTopicWithTheirOwnText();
    void picturesComeInNaturalOrderAndDamagedOnesAreSkipped();
    void aPictureTooLargeForTheBookIsSkipped();
    void aHugePdfPageIsDrawnWithinItsShareOfPixels();
    void scannedPagesAreRecognised();
    void refusalsComeBeforeAnythingIsWritten();
    void cancelKeepsEveryFinishedPage();
    void encryptedPdfOpensWithItsPasswordOnly();
    void multiPageTiffGivesAPagePerPicture();
    void tiffPicturesAreFoundInOneWalkAndReadOnTheirOwn();
    void unreadablePictureNamesTheMissingPackage_data();
    void unreadablePictureNamesTheMissingPackage();
    void scansAt600DpiAreImportedAndLargerOnesRefusedInWords();
    void photosAreStoredUprightAsTheirExifSays();
};

void ImportTest::textLayerPagesFollowTheLastTopicWithTheirOwnText() {
    ImportBook book;
    book.put(4);
    book.put(7);
    const QString pdf = book.file(QStringLiteral("Report.pdf"));
    testing::writeTextPdf(pdf, {QStringLiteral("First page of the report."),
                                QStringLiteral("A tale of a long for-\ngotten kingdom."),
                                QStringLiteral("Third page.")});
    book.dialogs.messages.clear();
    const ImportSummary summary = book.import({pdf});
    QCOMPARE(summary.text(), QStringLiteral("3 pages imported."));

    book.reopen();
    const QList<store::TopicEntry> expected{
        {4, "old 4"}, {7, "old 7"}, {8, "Report p.1"}, {9, "Report p.2"}, {10, "Report p.3"}};
    QCOMPARE(book.store.topicList(), expected);
    const store::TopicPage first = *book.store.readTopic(8);
    QCOMPARE(first.PicText, QStringLiteral("First page of the report."));
    // Rendered at 150 dpi, as a page with a text layer is.
    QCOMPARE(jpegSize(first.PicData), QSize(600, 450));
    const std::optional<recognition::PageText> boxes =
        recognition::decodeWordBoxes(first.WordBoxes);
    QVERIFY(boxes);
    QCOMPARE(boxes->words.size(), 5);
    // The first word lies near the top left of the picture, in its pixels.
    QVERIFY2(QRect(30, 30, 150, 50).contains(boxes->words.first().box.center()),
             qPrintable(QStringLiteral("%1,%2")
                            .arg(boxes->words.first().box.x())
                            .arg(boxes->words.first().box.y())));
    QCOMPARE(book.store.readTopic(9)->PicText,
             QStringLiteral("A tale of a long forgotten kingdom."));
    QCOMPARE(book.store.firstRecordOwner(), QString());
}

void ImportTest::picturesComeInNaturalOrderAndDamagedOnesAreSkipped() {
    ImportBook book;
    const QString folder = book.file(QStringLiteral("scans"));
    QDir().mkpath(folder);
    const QByteArray jpeg = encoded(testing::plainPicture({40, 30}, Qt::red), "jpeg");
    QVERIFY(testing::writeBytes(folder + "/page10.jpg", jpeg));
    QVERIFY(testing::writeBytes(folder + "/page2.png",
                                encoded(testing::plainPicture({50, 20}, Qt::blue), "png")));
    QVERIFY(testing::writeBytes(folder + "/Page1.bmp",
                                encoded(testing::plainPicture({10, 10}, Qt::green), "bmp")));
    // A PNG cut short: its header reads, its picture does not.
    const QByteArray png = encoded(testing::plainPicture({300, 300}, Qt::gray), "png");
    QVERIFY(testing::writeBytes(folder + "/page3.png", png.left(png.size() / 2)));
    QVERIFY(testing::writeBytes(folder + "/page4.png", "this is no picture"));
    QVERIFY(testing::writeBytes(folder + "/notes.txt", "not a page"));
    QDir().mkpath(folder + "/page11 more");
    QVERIFY(testing::writeBytes(folder + "/page11 more/last.ppm",
                                encoded(testing::plainPicture({20, 10}, Qt::red), "ppm")));
    const QString brokenPdf = book.file(QStringLiteral("broken.pdf"));
    QVERIFY(testing::writeBytes(brokenPdf, "%PDF-1.4\nnothing else"));
    // A name that is all extension names its topic whole.
    const QString unnamed = book.file(QStringLiteral(".png"));
    QVERIFY(testing::writeBytes(unnamed, encoded(testing::plainPicture({8, 8}, Qt::red), "png")));

    const ImportSummary summary = book.import({folder, brokenPdf, unnamed});
    QCOMPARE(summary.imported, 5);
    QCOMPARE(summary.skipped.size(), 3);
    QVERIFY(summary.text().startsWith(QStringLiteral("5 pages imported, 3 skipped: ")));
    for (const char* name : {"page4.png", "page3", "broken.pdf"})
        QVERIFY2(summary.text().contains(name), qPrintable(summary.text()));

    const QList<store::TopicEntry> expected{
        {1, "Page1"}, {2, "page2"}, {3, "page10"}, {4, "last"}, {5, ".png"}};
    QCOMPARE(book.store.topicList(), expected);
    // The pages of an empty book make the user its owner.
    QCOMPARE(book.store.firstRecordOwner(), QStringLiteral("ann"));
    // A JPEG is kept as it is; other pictures are made JPEGs.
    QCOMPARE(book.store.readTopic(3)->PicData, jpeg);
    QCOMPARE(jpegSize(book.store.readTopic(2)->PicData), QSize(50, 20));
}

// The engine takes values up to 1 GB; here its limit is made small on the book's connection.
void ImportTest::aPictureTooLargeForTheBookIsSkipped() {
    ImportBook book;
    const QString folder = book.file(QStringLiteral("scans"));
    QDir().mkpath(folder);
    const QByteArray small = encoded(testing::plainPicture({40, 30}, Qt::red), "jpeg");
    QImage noise(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb(x * 37 % 256, y * 91 % 256, (x * y) % 256));
    const QByteArray large = encoded(noise, "jpeg");
    const int limit = int(small.size()) + 1000;
    QVERIFY(large.size() > limit);
    QVERIFY(testing::writeBytes(folder + "/page1.jpg", small));
    QVERIFY(testing::writeBytes(folder + "/page2.jpg", large));
    sqlite3_limit(book.store.BookTable()->connection().handle(), SQLITE_LIMIT_LENGTH, limit);

    const ImportSummary summary = book.import({folder});
    QCOMPARE(summary.text(),
             QStringLiteral("1 page imported, 1 skipped: page2 (too large for a book)."));
    QCOMPARE(book.store.topicList(), (QList<store::TopicEntry>{{1, "page1"}}));
    QCOMPARE(book.store.readTopic(1)->PicData, small);
}

// A page of 200 by 200 inches, the largest a PDF has: drawn at a lower resolution, within
// the pixels each of the two workers may use, never as an empty picture.
void ImportTest::aHugePdfPageIsDrawnWithinItsShareOfPixels() {
    ImportBook book;
    const QString pdf = book.file(QStringLiteral("poster.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QSizeF(200, 200), QPageSize::Inch));
        writer.setResolution(72);
        QPainter painter(&writer);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(400);
        painter.setFont(font);
        painter.drawText(1000, 2000, QStringLiteral("Poster"));
    }
    const ImportSummary summary = book.import({pdf});
    QCOMPARE(summary.text(), QStringLiteral("1 page imported."));
    const QSize size = jpegSize(book.store.readTopic(1)->PicData);
    QVERIFY2(size.width() > 4000 && size.width() == size.height() &&
                 qint64(size.width()) * size.height() <= import::ImportPagePixels / 2,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
}

void ImportTest::scannedPagesAreRecognised() {
    ImportBook book;
    // A page of 4 by 1.5 inches holding a few words, scanned at 300 dpi.
    const testing::TestPage page = testing::makeTestPage(
        {QStringLiteral("Seven quiet rivers"), QStringLiteral("cross the green valley")},
        QSize(1200, 450), 0, 16);
    const QString pdf = book.file(QStringLiteral("Scan.pdf"));
    testing::writeScannedPdf(pdf, {page.image}, QSizeF(4, 1.5));
    const QString png = book.file(QStringLiteral("photo.png"));
    QVERIFY(testing::writeBytes(png, encoded(page.image, "png")));
    // A letter-size scan whose only text layer is a line stamped at its foot.
    const testing::TestPage letter = testing::makeTestPage(
        {QStringLiteral("Seven quiet rivers"), QStringLiteral("cross the green valley")},
        QSize(2550, 3300), 0, 16);
    const QString stamped = book.file(QStringLiteral("Stamped.pdf"));
    testing::writeScannedPdf(stamped, {letter.image}, QSizeF(8.5, 11),
                             QStringLiteral("Downloaded from the library"));

    const ImportSummary summary = book.import({pdf, png, stamped}, 2, QStringLiteral("eng"));
    QCOMPARE(summary.text(), QStringLiteral("3 pages imported."));
    for (int topicNo : {1, 2}) {
        const store::TopicPage topic = *book.store.readTopic(topicNo);
        QCOMPARE(topic.PicText, QStringLiteral("Seven quiet rivers cross the green valley"));
        QCOMPARE(recognition::decodeWordBoxes(topic.WordBoxes)->words.size(), 7);
    }
    QCOMPARE(jpegSize(book.store.readTopic(1)->PicData), QSize(1200, 450));
    // The stamped page is read from its picture, the stamped line in its place.
    QCOMPARE(book.store.readTopic(3)->PicText,
             QStringLiteral("Seven quiet rivers cross the green valley\n\nDownloaded from the "
                            "library"));
}

void ImportTest::refusalsComeBeforeAnythingIsWritten() {
    ImportBook book;
    book.put(32766);
    const QString pdf = book.file(QStringLiteral("Two.pdf"));
    testing::writeTextPdf(pdf, {QStringLiteral("one"), QStringLiteral("two")});
    BookImport tooMany(book.store, import::planImport({pdf}, {}), {});
    QCOMPARE(tooMany.start(), BookImport::Start::NumbersWouldOverflow);
    QCOMPARE(book.store.topicList().size(), 1);
    QVERIFY(book.store.ImportingInto.isEmpty());

    BookImport nothing(book.store, import::planImport({book.file("missing.pdf")}, {}), {});
    QCOMPARE(nothing.start(), BookImport::Start::NothingToImport);

    // While an import runs, only it writes to the book.
    ImportBook other;
    BookImport running(other.store, import::planImport({pdf}, {}), {});
    QCOMPARE(running.start(), BookImport::Start::Started);
    QVERIFY(!other.store.mayEdit());
    QVERIFY(other.dialogs.messages.last().text.contains(QStringLiteral("being imported")));
    QSignalSpy finished(&running, &BookImport::finished);
    QVERIFY(finished.wait(20000));
    QVERIFY(other.store.mayEdit());

    // A book opened during an import is neither held nor written to: the import stops.
    ImportBook third;
    BookImport switched(third.store, import::planImport({pdf}, {}), {});
    QCOMPARE(switched.start(), BookImport::Start::Started);
    third.store.CloseAndCompactBook();
    const QString next = third.file(QStringLiteral("next.fmr"));
    QVERIFY(QFile::copy(third.store.untitledBookPath(), next));
    third.settings.BookPath = next;
    third.store.LoadBook();
    QCOMPARE(third.store.OpenedBookPath, next);
    QVERIFY(third.store.mayEdit());
    QSignalSpy stopped(&switched, &BookImport::finished);
    QVERIFY(stopped.wait(20000));
    QCOMPARE(stopped.first().first().value<ImportSummary>().failure,
             QStringLiteral("the book was closed"));
    QVERIFY(third.store.topicList().isEmpty());
}

void ImportTest::cancelKeepsEveryFinishedPage() {
    ImportBook book;
    QStringList pages;
    for (int i = 1; i <= 40; ++i)
        pages.append(QStringLiteral("Page number %1").arg(i));
    const QString pdf = book.file(QStringLiteral("Long.pdf"));
    testing::writeTextPdf(pdf, pages);

    BookImport run(book.store, import::planImport({pdf}, {}), {{75, {}, {}}, {}, 1});
    QSignalSpy finished(&run, &BookImport::finished);
    connect(&run, &BookImport::pageDone, &run, [&](const import::ImportProgress& progress) {
        QCOMPARE(progress.total, 40);
        if (progress.done == 3)
            run.cancel();
    });
    QCOMPARE(run.start(), BookImport::Start::Started);
    QVERIFY(finished.wait(20000));
    const ImportSummary summary = finished.first().first().value<ImportSummary>();
    QVERIFY(summary.cancelled);
    QCOMPARE(summary.imported, 3);
    QVERIFY(book.store.ImportingInto.isEmpty());

    book.reopen();
    QCOMPARE(book.store.topicList().size(), 3);
    for (int topicNo : {1, 2, 3}) {
        const store::TopicPage topic = *book.store.readTopic(topicNo);
        QCOMPARE(topic.PicText, QStringLiteral("Page number %1").arg(topicNo));
        QVERIFY(!topic.PicData.isEmpty());
    }
    // Nothing arrives after the cancel.
    QTest::qWait(200);
    QCOMPARE(book.store.topicList().size(), 3);
}

void ImportTest::encryptedPdfOpensWithItsPasswordOnly() {
    ImportBook book;
    const QString plain = book.file(QStringLiteral("plain.pdf"));
    testing::writeTextPdf(plain, {QStringLiteral("Secret page.")});
    const QString locked = book.file(QStringLiteral("Locked.pdf"));
    QCOMPARE(QProcess::execute(QStringLiteral("qpdf"),
                               {QStringLiteral("--encrypt"), QStringLiteral("sesame"),
                                QStringLiteral("owner"), QStringLiteral("256"),
                                QStringLiteral("--"), plain, locked}),
             0);

    QList<bool> asked; // whether each question said the password before was wrong
    QStringList typed{QStringLiteral("wrong"), QStringLiteral("sesame")};
    const import::PasswordAsk ask = [&](const QString& file, bool wrongBefore) {
        asked.append(wrongBefore);
        return file == QStringLiteral("Locked.pdf") && !typed.isEmpty() ? typed.takeFirst()
                                                                        : QString();
    };
    const import::ImportPlan plan = import::planImport({locked}, ask);
    QCOMPARE(asked, (QList<bool>{false, true}));
    QCOMPARE(plan.pages.size(), std::size_t(1));
    BookImport run(book.store, plan, {});
    QSignalSpy finished(&run, &BookImport::finished);
    QCOMPARE(run.start(), BookImport::Start::Started);
    QVERIFY(finished.wait(20000));
    QCOMPARE(book.store.readTopic(1)->PicText, QStringLiteral("Secret page."));

    // Given up at the question, the file is left out and named.
    asked.clear();
    const import::ImportPlan refused = import::planImport({locked}, ask);
    QCOMPARE(asked, QList<bool>{false});
    QVERIFY(refused.pages.empty());
    QCOMPARE(refused.skipped, QStringList{QStringLiteral("Locked.pdf (no password)")});
}

void ImportTest::multiPageTiffGivesAPagePerPicture() {
    ImportBook book;
    // Two one-picture TIFFs joined into one file of two pictures.
    const QString tiff = book.file(QStringLiteral("Scans.tiff"));
    QVERIFY(testing::writeMultiPageTiff(tiff, {testing::plainPicture({60, 40}, Qt::red),
                                               testing::plainPicture({30, 20}, Qt::blue)}));
    QCOMPARE(book.import({tiff}).text(), QStringLiteral("2 pages imported."));
    const QList<store::TopicEntry> expected{{1, "Scans p.1"}, {2, "Scans p.2"}};
    QCOMPARE(book.store.topicList(), expected);
    QCOMPARE(jpegSize(book.store.readTopic(2)->PicData), QSize(30, 20));
}

void ImportTest::tiffPicturesAreFoundInOneWalkAndReadOnTheirOwn() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.tiff"));
    QList<QImage> pictures;
    for (int i = 0; i < 2000; ++i)
        pictures.append(testing::plainPicture({4, 3 + i % 5}, i == 1999 ? Qt::green : Qt::gray));
    QVERIFY(testing::writeMultiPageTiff(path, pictures));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray tiff = file.readAll();

    const auto directories = [](QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return pictures::tiffDirectories(buffer);
    };
    const std::vector<qint64> all = directories(tiff);
    QCOMPARE(all.size(), 2000U);
    // A chain that points back, or is cut off inside a directory, ends there.
    QByteArray loop = tiff;
    loop.replace(loop.size() - 4, 4, loop.mid(4, 4));
    QCOMPARE(directories(loop).size(), 2000U);
    QCOMPARE(directories(tiff.left(all.back() + 10)).size(), 1999U);
    // Other byte orders and BigTIFF: headers with one empty directory.
    QCOMPARE(directories(QByteArray("MM\0*\0\0\0\x08\0\0\0\0\0\0", 14)), std::vector<qint64>{8});
    QCOMPARE(
        directories(QByteArray("II+\0\x08\0\0\0\x10\0\0\0\0\0\0\0", 16) + QByteArray(16, '\0')),
        std::vector<qint64>{16});
    for (const char* other : {"II*\0", "II*\0\0\0\0\0", "MM\0+\0\x08\0\0", "not a tiff"})
        QVERIFY(directories(other).empty());

    // The last picture is read from its own directory, in the file as a maker of pages
    // reads it and with the header pointed there, and the file itself stays as it was.
    const auto isLast = [](QIODevice& device, int index) {
        const pictures::PictureRead last = pictures::readPicture(device, index);
        return last.image.size() == QSize(4, 3 + 1999 % 5) &&
               last.image.pixelColor(0, 0) == QColor(Qt::green);
    };
    QByteArray pointed = tiff;
    QVERIFY(pictures::pointToDirectory(pointed.data(), pointed.size(), all.back()));
    QBuffer buffer(&pointed);
    buffer.open(QIODevice::ReadOnly);
    QVERIFY(isLast(buffer, 0));
    import::PictureFile picturesOfFile;
    const std::optional<import::PictureFile::Picture> source = picturesOfFile.picture(path, 1999);
    QVERIFY(source);
    QVERIFY(isLast(source->device, source->index));
    QVERIFY(!picturesOfFile.picture(path, 2000));
    QVERIFY(file.seek(0));
    QCOMPARE(file.readAll(), tiff);
}

void ImportTest::unreadablePictureNamesTheMissingPackage_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QList<QByteArray>>("readable");
    QTest::addColumn<QString>("reason");
    const QList<QByteArray> basic{"bmp", "jpeg", "png"};
    const QList<QByteArray> all = basic + QList<QByteArray>{"tiff", "webp"};
    const QString notPicture = QStringLiteral("not a picture");
    const QString tiff = QStringLiteral("TIFF pictures need the package qt6-image-formats-plugins");
    QTest::newRow("tiff, no reader") << QByteArray("II*\0\x08\0\0\0", 8) << basic << tiff;
    QTest::newRow("big-endian tiff, no reader") << QByteArray("MM\0*", 4) << basic << tiff;
    QTest::newRow("damaged tiff") << QByteArray("II*\0", 4) << all << notPicture;
    QTest::newRow("webp, no reader")
        << QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16) << basic
        << QStringLiteral("WebP pictures need the package qt6-image-formats-plugins");
    QTest::newRow("text") << QByteArray("MM is not a tiff") << basic << notPicture;
    QTest::newRow("empty file") << QByteArray() << basic << notPicture;
}

void ImportTest::unreadablePictureNamesTheMissingPackage() {
    QFETCH(QByteArray, head);
    QFETCH(QList<QByteArray>, readable);
    QFETCH(QString, reason);
    QCOMPARE(import::unreadablePictureReason(head, readable), reason);
}

void ImportTest::scansAt600DpiAreImportedAndLargerOnesRefusedInWords() {
    ImportBook book;
    const QString folder = book.file(QStringLiteral("scans"));
    QDir().mkpath(folder);
    const QByteArray a4 = testing::a4At600DpiJpeg();
    QVERIFY(testing::writeBytes(folder + "/1 page.jpg", a4));
    QVERIFY(testing::writeBytes(folder + "/2 poster.bmp",
                                testing::bitmapHeaderOnly(QSize(16000, 12000))));
    const ImportSummary summary = book.import({folder});
    QCOMPARE(summary.imported, 1);
    QCOMPARE(book.store.readTopic(1)->PicData, a4);
    QCOMPARE(summary.skipped,
             QStringList{QStringLiteral("2 poster (it is 16000 × 12000 pixels and would take 768 "
                                        "MB of memory, more than the 500 MB a page picture may "
                                        "take)")});
}

void ImportTest::photosAreStoredUprightAsTheirExifSays() {
    ImportBook book;
    const QByteArray sideways =
        testing::withExifOrientation(encoded(testing::plainPicture({40, 20}, Qt::red), "jpeg"), 6);
    QCOMPARE(jpegSize(sideways), QSize(40, 20)); // as it lies in the file
    const QString photo = book.file(QStringLiteral("photo.jpg"));
    QVERIFY(testing::writeBytes(photo, sideways));
    QCOMPARE(book.import({photo}).imported, 1);
    QCOMPARE(jpegSize(book.store.readTopic(1)->PicData), QSize(20, 40));
}

QTEST_MAIN(ImportTest)
#include "tst_import.moc"
