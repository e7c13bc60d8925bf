#include "recognition/PageOutline.h"
#include "recognition/PagePreparation.h"
#include "recognition/PageReader.h"
#include "recognition/PageTextBuilder.h"
#include "recognition/ParagraphLines.h"
#include "recognition/RecognitionLanguages.h"
#include "recognition/RecognitionSettings.h"
#include "recognition/TextRecognition.h"
#include "recognition/WordBoxBlob.h"
#include "support/TestPage.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <limits>
#include <memory>

using namespace folimar;
using recognition::ReadOutcome;

namespace {

const QStringList PageLines{
    QStringLiteral("The quick brown fox jumps over the lazy dog and"),
    QStringLiteral("then runs into the forest where the old trees"),
    QStringLiteral("stand tall, whispering stories of a long for-"),
    QStringLiteral("gotten kingdom beside the river."),
    QString(),
    QStringLiteral("Every morning the baker opens his shop at six"),
    QStringLiteral("and sells fresh bread to the whole village."),
};

// Where a 1600 x 800 page lands on an 1800 x 1100 photo taken at an angle.
const QPolygonF PhotoCorners{QPointF(150, 90), QPointF(1620, 140), QPointF(1710, 1010),
                             QPointF(80, 960)};

ReadOutcome read(const QImage& picture, const QString& languages = QStringLiteral("eng")) {
    recognition::ReadControl control;
    return recognition::readPage(picture, recognition::tessdataFolder(), languages, control);
}

} // namespace

class TestRecognition : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textKeepsParagraphsAndJoinsHyphenatedWords_data();
    void textKeepsParagraphsAndJoinsHyphenatedWords();
    void shortLastLineStaysWithItsParagraph_data();
    void shortLastLineStaysWithItsParagraph();
    void wordBoxBlobKeepsBoxesAndRefusesDamage();
    void languagesAreListedAndAMissingOneNamesItsPackage();
    void settingsKeepTheirDefaultsUntilSaved();
    void skewIsFoundOnPagesTurnedUpToFiveDegrees_data();
    void skewIsFoundOnPagesTurnedUpToFiveDegrees();
    void unevenLightIsTold();
    void pageOutlineIsFoundOnlyOnPhotosOfAWholePage();
    void scannedPageIsReadWithBoxesOnItsWords_data();
    void scannedPageIsReadWithBoxesOnItsWords();
    void pictureWithoutTextOrUnreadableGivesNoText();
    void cancelledOrReplacedReadingNeverDelivers();
    void aReaderKeepsItsEngineFromPageToPage();
    void aPageIsReadWithoutHelperThreads();
};

// Each row: the words, as (word, paragraph start?, line start?), and the text they make.
void TestRecognition::textKeepsParagraphsAndJoinsHyphenatedWords_data() {
    QTest::addColumn<QStringList>("words"); // "|" starts a line, "||" a paragraph
    QTest::addColumn<QString>("text");
    QTest::newRow("one line") << QStringList{"Two", "words"} << "Two words";
    QTest::newRow("lines of a paragraph") << QStringList{"one", "|", "two"} << "one two";
    QTest::newRow("paragraphs") << QStringList{"one", "||", "two", "|", "three"}
                                << "one\n\ntwo three";
    QTest::newRow("hyphenated") << QStringList{"a", "long", "for-", "|", "gotten", "tale"}
                                << "a long forgotten tale";
    QTest::newRow("name with a capital stays")
        << QStringList{"Anglo-", "|", "Saxon"} << "Anglo- Saxon";
    QTest::newRow("dash alone stays") << QStringList{"wait", "-", "|", "then"} << "wait - then";
    QTest::newRow("hyphen before a paragraph stays")
        << QStringList{"end-", "||", "next"} << "end-\n\nnext";
    QTest::newRow("numbered items keep their lines")
        << QStringList{"Steps:", "|", "1.", "Open", "|", "2.", "Read", "|", "it", "|", "(3)", "End"}
        << "Steps:\n1. Open\n2. Read it\n(3) End";
    QTest::newRow("bullets keep their lines")
        << QStringList{"•", "milk", "|", "•", "bread", "|", "b)", "tea"}
        << "• milk\n• bread\nb) tea";
    QTest::newRow("a number that marks nothing")
        << QStringList{"page", "|", "12", "and", "|", "A.", "Smith"} << "page 12 and A. Smith";
}

void TestRecognition::textKeepsParagraphsAndJoinsHyphenatedWords() {
    QFETCH(QStringList, words);
    QFETCH(QString, text);
    recognition::PageTextBuilder builder;
    QStringList placed;
    int x = 0;
    for (const QString& word : words) {
        if (word == QLatin1String("||"))
            builder.startParagraph();
        else if (word == QLatin1String("|"))
            builder.startLine();
        else {
            builder.addWord(word, QRect(x, 0, 10, 10));
            placed.append(word);
            x += 20;
        }
    }
    const recognition::PageText page = builder.take();
    QCOMPARE(page.text, text);
    QCOMPARE(page.words.size(), placed.size());
    for (qsizetype i = 0; i < placed.size(); ++i) {
        const recognition::WordBox& box = page.words[i];
        QCOMPARE(box.box, QRect(int(i) * 20, 0, 10, 10));
        // A joined word's first half has lost its hyphen, and the rest follows it at once.
        const QString expected = page.text.mid(box.offset, box.length);
        QVERIFY2(placed[i].startsWith(expected) && placed[i].size() - expected.size() <= 1,
                 qPrintable(placed[i] + " at " + expected));
    }
    QVERIFY(builder.take().text.isEmpty());
}

namespace {

// A line of the text as the engine reads it: "|" begins a paragraph, then the line's left
// and right edge and its words; lines stand 40 pixels apart unless "+N" ("-N") moves the
// line down (up) by N more.
recognition::ReadLine readLine(const QString& described, int& top) {
    QStringList fields = described.split(u' ');
    recognition::ReadLine line;
    if (fields.front() == "|") {
        line.startsParagraph = true;
        fields.removeFirst();
    }
    if (fields.front().startsWith(u'+') || fields.front().startsWith(u'-'))
        top += fields.takeFirst().toInt();
    const int left = fields.takeFirst().toInt();
    const int right = fields.takeFirst().toInt();
    const int step = (right - left) / int(fields.size());
    for (int i = 0; i < fields.size(); ++i)
        line.words.append({fields[i], QRect(left + i * step, top, step - 10, 30), 90});
    top += 40;
    return line;
}

} // namespace

void TestRecognition::shortLastLineStaysWithItsParagraph_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");
    const QString first = QStringLiteral("| 100 1000 It was a thing so strange");
    const QString second = QStringLiteral("100 1000 that you cannot");
    QTest::newRow("short last line taken for the next paragraph's")
        << QStringList{first, second, "| 100 200 name.", "150 1000 The next day", "100 1000 it rained"}
        << "It was a thing so strange that you cannot name.\n\nThe next day it rained";
    QTest::newRow("the same without an indent")
        << QStringList{first, second, "| 100 200 name.", "100 1000 The next day", "100 600 it rained"}
        << "It was a thing so strange that you cannot name.\n\nThe next day it rained";
    QTest::newRow("a paragraph gap above keeps it apart")
        << QStringList{first, second, "| +40 100 200 Chapter", "100 1000 The next day", "100 1000 it rained"}
        << "It was a thing so strange that you cannot\n\nChapter The next day it rained";
    QTest::newRow("a full first line begins its paragraph")
        << QStringList{first, second, "| 150 1000 The next day", "100 1000 it rained"}
        << "It was a thing so strange that you cannot\n\nThe next day it rained";
    QTest::newRow("a paragraph of one short line")
        << QStringList{first, second, "| 100 200 Yes.", "| 150 1000 The next day"}
        << "It was a thing so strange that you cannot\n\nYes.\n\nThe next day";
    QTest::newRow("the top of the next column")
        << QStringList{first, second, "| -200 1200 1300 name.", "1200 2000 The next day"}
        << "It was a thing so strange that you cannot\n\nname. The next day";
}

void TestRecognition::shortLastLineStaysWithItsParagraph() {
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QList<recognition::ReadLine> read;
    int top = 100;
    for (const QString& described : lines)
        read.append(readLine(described, top));
    recognition::keepShortLastLines(read);
    const recognition::PageText page = recognition::layOutLines(read);
    QCOMPARE(page.text, text);
    QCOMPARE(page.words.front().confidence, 90);
}

void TestRecognition::wordBoxBlobKeepsBoxesAndRefusesDamage() {
    const recognition::PageText page{
        QStringLiteral("Ünd 😀"),
        {{QRect(10, 20, 30, 40), 0, 3, 87}, {QRect(-1, 0, 70000, 5), 4, 2, 0}}};
    const QByteArray blob = recognition::encodeWordBoxes(page);
    QCOMPARE(blob.size(), 8 + 2 * 28 + 4 + 6 * 2);
    QCOMPARE(recognition::decodeWordBoxes(blob), std::optional(page));
    QVERIFY(recognition::encodeWordBoxes({}).isEmpty());
    QCOMPARE(recognition::decodeWordBoxes({}), std::optional(recognition::PageText()));

    // Books stored before the confidences were kept: the same words, of unknown confidence;
    // before the text was kept: no text either.
    QByteArray secondVersion = blob.left(8);
    secondVersion[3] = 2;
    for (int word = 0; word < 2; ++word)
        secondVersion += blob.mid(8 + word * 28, 24);
    const QByteArray firstVersion = QByteArray(secondVersion).replace(3, 1, "\x01", 1);
    secondVersion += blob.mid(8 + 2 * 28);
    QList<recognition::WordBox> unsure = page.words;
    for (recognition::WordBox& word : unsure)
        word.confidence = recognition::WordBox::UnknownConfidence;
    QCOMPARE(recognition::decodeWordBoxes(secondVersion),
             std::optional(recognition::PageText{page.text, unsure}));
    QCOMPARE(recognition::decodeWordBoxes(firstVersion),
             std::optional(recognition::PageText{QString(), unsure}));

    // A box reaching past the numbers' range is left out, its word with it; a confidence
    // out of its range reads as unknown.
    QByteArray pastTheRange = blob;
    qToLittleEndian<qint32>(std::numeric_limits<qint32>::max() - 10, pastTheRange.data() + 8 + 28);
    qToLittleEndian<qint32>(101, pastTheRange.data() + 8 + 24);
    QCOMPARE(recognition::decodeWordBoxes(pastTheRange),
             std::optional(recognition::PageText{page.text, {unsure[0]}}));

    QByteArray otherVersion = blob;
    otherVersion[3] = 4;
    QByteArray hugeCount = blob;
    hugeCount[7] = char(0x7f);
    QByteArray negativeCount = blob;
    negativeCount[7] = char(0x80);
    QByteArray hugeText = blob;
    hugeText[8 + 2 * 28 + 3] = char(0x7f);
    QByteArray firstVersionWithText = secondVersion;
    firstVersionWithText[3] = 1;
    QByteArray olderVersionWithConfidences = blob;
    olderVersionWithConfidences[3] = 2;
    for (const QByteArray& damaged :
         {blob.left(blob.size() - 1), blob + 'x', blob.left(8 + 2 * 28 + 2), otherVersion,
          hugeCount, negativeCount, hugeText, firstVersionWithText,
          olderVersionWithConfidences, QByteArray("JFIF"), QByteArray("FWB\x03", 4)})
        QVERIFY2(!recognition::decodeWordBoxes(damaged), damaged.toHex().constData());
}

void TestRecognition::languagesAreListedAndAMissingOneNamesItsPackage() {
    QTemporaryDir data;
    for (const char* name : {"eng.traineddata", "deu.traineddata", "osd.traineddata", "notes.txt"})
        QFile(data.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    QCOMPARE(recognition::installedLanguages(data.path()), QStringList({"deu", "eng"}));
    const QStringList installed{"deu", "eng"};
    QCOMPARE(recognition::defaultLanguage(installed, QLocale(QLocale::German)), "deu");
    QCOMPARE(recognition::defaultLanguage(installed, QLocale(QLocale::French)), "eng");
    QVERIFY(recognition::languagesInstalled(data.path(), "eng+deu"));
    QVERIFY(!recognition::languagesInstalled(data.path(), "eng+fra"));
    QVERIFY(!recognition::languagesInstalled(data.path(), "../" + data.path() + "/eng"));
    QVERIFY(!recognition::languagesInstalled(data.path(), ""));
    QCOMPARE(recognition::languageName("deu"), "German (deu)");
    QCOMPARE(recognition::languageName("chi_sim"), "Chinese (chi_sim)");
    QCOMPARE(recognition::languageName("xyz"), "xyz");
    QVERIFY(recognition::missingLanguageMessage(data.path(), "eng+chi_sim")
                .contains("tesseract-ocr-chi-sim"));

    // Reading in a language that is not installed says which package to install.
    const ReadOutcome missing = read(QImage(20, 20, QImage::Format_RGB32), "xyz");
    QCOMPARE(missing.status, ReadOutcome::Status::Failed);
    QVERIFY2(missing.message.contains("tesseract-ocr-xyz"), qPrintable(missing.message));
    QVERIFY(recognition::installedLanguages(recognition::tessdataFolder()).contains("eng"));
}

void TestRecognition::settingsKeepTheirDefaultsUntilSaved() {
    QTemporaryDir folder;
    const QString path = folder.filePath("config/recognition.conf");
    QCOMPARE(recognition::RecognitionSettings::load(path), recognition::RecognitionSettings());
    QVERIFY(recognition::RecognitionSettings().readPastedPicture);
    const recognition::RecognitionSettings chosen{false, "eng+deu"};
    QVERIFY(chosen.save(path));
    QCOMPARE(recognition::RecognitionSettings::load(path), chosen);
}

void TestRecognition::skewIsFoundOnPagesTurnedUpToFiveDegrees_data() {
    QTest::addColumn<double>("degrees");
    for (const double degrees : {-5.0, -3.0, -2.0, -1.0, -0.4, 0.0, 0.4, 1.0, 2.0, 3.0, 5.0})
        QTest::addRow("%+.1f°", degrees) << degrees;
}

void TestRecognition::skewIsFoundOnPagesTurnedUpToFiveDegrees() {
    QFETCH(double, degrees);
    const testing::TestPage page = testing::makeTestPage(PageLines, QSize(1600, 800), degrees);
    const recognition::PageSkew skew =
        recognition::findSkew(page.image.convertToFormat(QImage::Format_Grayscale8));
    QVERIFY(skew.found);
    QVERIFY2(std::abs(skew.degrees - degrees) <= 0.3, qPrintable(QString::number(skew.degrees)));
}

void TestRecognition::unevenLightIsTold() {
    const QImage page = testing::makeTestPage(PageLines, QSize(1600, 800)).image;
    QImage tinted = page;
    tinted.fill(qRgb(225, 215, 180));
    const auto uneven = [](const QImage& picture) {
        return recognition::lightIsUneven(picture.convertToFormat(QImage::Format_Grayscale8));
    };
    QVERIFY(!uneven(page));
    QVERIFY(!uneven(tinted));
    QVERIFY(uneven(testing::photographed(page)));
}

// A page photographed at an angle is outlined within a few pixels of its corners; scans,
// level or turned, and a page running off the photo's edge are not outlined.
void TestRecognition::pageOutlineIsFoundOnlyOnPhotosOfAWholePage() {
    const testing::TestPage page = testing::makeTestPage(PageLines, QSize(1600, 800), 1.0);
    const QSize photo(1800, 1100);
    const auto outline = [](const QImage& picture) {
        return recognition::findPageOutline(picture.convertToFormat(QImage::Format_Grayscale8));
    };
    const recognition::PageOutline found =
        outline(testing::photographedAtAngle(page, photo, PhotoCorners).image);
    QVERIFY(found.found);
    for (int i = 0; i < 4; ++i)
        QVERIFY2(QLineF(found.corners[size_t(i)], PhotoCorners[i]).length() <= 3,
                 qPrintable(QStringLiteral("corner %1 found at %2, %3")
                                .arg(i)
                                .arg(found.corners[size_t(i)].x())
                                .arg(found.corners[size_t(i)].y())));
    QVERIFY(!outline(page.image).found);
    QVERIFY(!outline(testing::makeTestPage(PageLines, QSize(1600, 800), -3.0).image).found);
    QVERIFY(
        !outline(testing::photographedAtAngle(page, photo, PhotoCorners.translated(-200, 0)).image)
             .found);
}

void TestRecognition::scannedPageIsReadWithBoxesOnItsWords_data() {
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("photographed"); // 0 scanned, 1 photographed, 2 at an angle
    QTest::newRow("nearly level") << 0.4 << 0;
    QTest::newRow("read level, boxes put back") << -3.0 << 0;
    QTest::newRow("photographed, the light falling off") << 1.5 << 1;
    QTest::newRow("photographed at an angle, boxes put back") << 1.5 << 2;
}

// A page drawn at 300 dpi, turned and speckled, reads back with at most one character in
// a hundred wrong, and each word's box lies on the word drawn there.
void TestRecognition::scannedPageIsReadWithBoxesOnItsWords() {
    QFETCH(double, degrees);
    QFETCH(int, photographed);
    testing::TestPage page = testing::makeTestPage(PageLines, QSize(1600, 800), degrees);
    if (photographed == 1)
        page.image = testing::photographed(page.image);
    else if (photographed == 2)
        page = testing::photographedAtAngle(page, QSize(1800, 1100), PhotoCorners);
    const ReadOutcome outcome = read(page.image);
    QCOMPARE(outcome.status, ReadOutcome::Status::Read);
    const QString& text = outcome.page.text;
    const double errors = testing::characterErrorRate(page.text, text);
    qInfo("character error rate %.2f %%", errors * 100);
    QVERIFY2(errors <= 0.01, qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("\n\n")), 1);
    QVERIFY(text.contains("forgotten"));

    int matched = 0;
    for (const recognition::WordBox& box : outcome.page.words) {
        QVERIFY(box.offset >= 0 && box.length > 0 && box.offset + box.length <= text.size());
        QVERIFY(page.image.rect().contains(box.box));
        const QString word = text.mid(box.offset, box.length);
        for (const auto& [drawn, place] : page.words) {
            if (!drawn.startsWith(word) || !place.contains(QRectF(box.box).center()))
                continue;
            const QRectF overlap = place.intersected(QRectF(box.box));
            QVERIFY2(overlap.width() * overlap.height() >= 0.4 * box.box.width() * box.box.height(),
                     qPrintable(word));
            ++matched;
            break;
        }
    }
    QVERIFY2(matched >= page.words.size() - 2, qPrintable(QString::number(matched)));
}

void TestRecognition::pictureWithoutTextOrUnreadableGivesNoText() {
    QImage blank(600, 400, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const ReadOutcome empty = read(blank);
    QCOMPARE(empty.status, ReadOutcome::Status::Read);
    QVERIFY(empty.page.text.isEmpty());
    QVERIFY(empty.page.words.isEmpty());

    const ReadOutcome none = read(QImage());
    QCOMPARE(none.status, ReadOutcome::Status::Failed);
    QVERIFY(!none.message.isEmpty());
}

void TestRecognition::cancelledOrReplacedReadingNeverDelivers() {
    const QImage picture = testing::makeTestPage(PageLines, QSize(1600, 800)).image;
    recognition::TextRecognition recognition(recognition::tessdataFolder());
    QSignalSpy finished(&recognition, &recognition::TextRecognition::finished);
    QSignalSpy progressed(&recognition, &recognition::TextRecognition::progressed);

    // Cancelled: nothing arrives.
    recognition.start([picture] { return picture; }, "eng");
    QVERIFY(recognition.isRunning());
    recognition.cancel();
    QVERIFY(!recognition.isRunning());

    // Replaced: only the later reading's result arrives, once.
    QImage blank(200, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);
    recognition.start([picture] { return picture; }, "eng");
    recognition.start([blank] { return blank; }, "eng");
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    QVERIFY(finished[0][0].value<ReadOutcome>().page.text.isEmpty());
    QTest::qWait(200);
    QCOMPARE(finished.count(), 1);

    // A whole reading reports its progress on the way.
    finished.clear();
    progressed.clear();
    recognition.start([picture] { return picture; }, "eng");
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    QVERIFY(!progressed.isEmpty());
    QVERIFY(!finished[0][0].value<ReadOutcome>().page.text.isEmpty());

    // Destroyed while reading: the worker is stopped and waited for.
    recognition.start([picture] { return picture; }, "eng");
}

// Pages read one after another, a cancelled one among them, each get their own words from
// an engine loaded once.
void TestRecognition::aReaderKeepsItsEngineFromPageToPage() {
    static int loads = 0;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
            loads += message.startsWith(QLatin1String("engine loaded")) ? 1 : 0;
        });
    QLoggingCategory::setFilterRules(QStringLiteral("folimar.recognition.info=true"));
    const auto restore = qScopeGuard([previous] {
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
    });
    const QString tessdata = recognition::tessdataFolder();
    const auto page = [](const QString& words) {
        return testing::makeTestPage({words}, QSize(1200, 300), 0, 16).image;
    };
    QImage blank(600, 400, QImage::Format_RGB32);
    blank.fill(Qt::white);
    recognition::PageReader reader;
    recognition::ReadControl control;
    recognition::ReadControl cancelled;
    cancelled.cancelled = true;
    QCOMPARE(
        reader.read(page(QStringLiteral("Seven quiet rivers")), tessdata, "eng", control).page.text,
        QStringLiteral("Seven quiet rivers"));
    QCOMPARE(reader.read(page(QStringLiteral("lost words")), tessdata, "eng", cancelled).status,
             ReadOutcome::Status::Cancelled);
    QCOMPARE(reader.read(page(QStringLiteral("cross the green valley")), tessdata, "eng", control)
                 .page.text,
             QStringLiteral("cross the green valley"));
    QVERIFY(reader.read(blank, tessdata, "eng", control).page.text.isEmpty());
    QCOMPARE(loads, 1);
}

// The engine's helper threads would fight the window and the voice for a few cores; they
// stay in the process once started, so the reading runs on a thread of its own and counts
// the process's threads before and after.
void TestRecognition::aPageIsReadWithoutHelperThreads() {
    const auto threads = [] {
        return QDir(QStringLiteral("/proc/self/task"))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
            .size();
    };
    qsizetype before = 0;
    qsizetype after = 0;
    QString text;
    std::unique_ptr<QThread> reading(QThread::create([&] {
        before = threads();
        text = read(testing::makeTestPage(PageLines, QSize(1600, 800)).image).page.text;
        after = threads();
    }));
    reading->start();
    QVERIFY(reading->wait());
    QVERIFY(text.startsWith(QStringLiteral("The quick brown fox")));
    QCOMPARE(after, before);
}

QTEST_MAIN(TestRecognition)
#include "tst_recognition.moc"
