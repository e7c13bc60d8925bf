#include "bookexport/EpubDocuments.h"
#include "bookexport/EpubExport.h"
#include "platform/character/EspeakSynthesizer.h"
#include "support/SkipOutsideCi.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace folimar;
using namespace folimar::bookexport;

namespace {

// The entries of a zip whose entries are stored, by name, read through their local headers.
QMap<QString, QByteArray> entriesOf(const QString& path, QStringList* order) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray zip = file.readAll();
    QMap<QString, QByteArray> entries;
    qsizetype at = 0;
    while (at + 30 <= zip.size() &&
           qFromLittleEndian<quint32>(zip.constData() + at) == 0x04034b50) {
        const quint16 method = qFromLittleEndian<quint16>(zip.constData() + at + 8);
        const quint32 size = qFromLittleEndian<quint32>(zip.constData() + at + 18);
        const quint16 nameLength = qFromLittleEndian<quint16>(zip.constData() + at + 26);
        const quint16 extra = qFromLittleEndian<quint16>(zip.constData() + at + 28);
        const QString name = QString::fromUtf8(zip.mid(at + 30, nameLength));
        if (method != 0)
            return {};
        entries.insert(name, zip.mid(at + 30 + nameLength + extra, size));
        *order << name;
        at += 30 + nameLength + extra + size;
    }
    return entries;
}

// The length of an MP3 stream in seconds, by its frames (MPEG 1, 2 and 2.5, layer III).
double mp3Seconds(const QByteArray& mp3) {
    static const int Kilobits[2][15] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    static const int Rates[3][3] = {
        {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    double seconds = 0;
    qsizetype at = 0;
    while (at + 4 <= mp3.size()) {
        const quint32 header = qFromBigEndian<quint32>(mp3.constData() + at);
        if ((header >> 21) != 0x7FF)
            return -1;                          // not a frame where one must begin
        const int version = (header >> 19) & 3; // 3: MPEG 1, 2: MPEG 2, 0: MPEG 2.5
        const int bitrate = (header >> 12) & 15;
        const int rate = (header >> 10) & 3;
        if (version == 1 || bitrate == 0 || bitrate == 15 || rate == 3)
            return -1;
        const int row = version == 3 ? 0 : version == 2 ? 1 : 2;
        const int sampleRate = Rates[row][rate];
        const int samples = version == 3 ? 1152 : 576;
        const int bytes =
            samples / 8 * Kilobits[version == 3 ? 0 : 1][bitrate] * 1000 / sampleRate +
            int((header >> 9) & 1);
        seconds += double(samples) / sampleRate;
        at += bytes;
    }
    return seconds;
}

QByteArray jpegOf(const QImage& image) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return buffer.data();
}

ExportedBook twoTopics() {
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return {QStringLiteral("River & Mill"),
            QStringLiteral("Ann"),
            {{1,
              QStringLiteral("The river"),
              QStringLiteral("The river rose. Is it high? It is.\n\nThe mill <stood>."),
              jpegOf(picture),
              {}},
             {2, QString(), QStringLiteral("Nobody was hurt"), {}, {}}}};
}

} // namespace

class TestEpubExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QString why;
        if (!character::EspeakSynthesizer::open(&why))
            FOLIMAR_SKIP_OUTSIDE_CI(qPrintable("espeak-ng is not on this machine: " + why));
    }

    // Sentences are split as the reading option says; each has its element, and its clip
    // of the page's sound in order, within the sound.
    void pagesReadAlongWithTheirSound_data() {
        QTest::addColumn<int>("ends");
        QTest::addColumn<QList<int>>("sentences");
        QTest::newRow("full stops") << int(sentences::SentenceEnds::FullStops) << QList<int>{3, 1};
        QTest::newRow("punctuation")
            << int(sentences::SentenceEnds::Punctuation) << QList<int>{4, 1};
    }
    void pagesReadAlongWithTheirSound() {
        QFETCH(int, ends);
        QFETCH(QList<int>, sentences);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("river.epub"));
        ReadAlongChoices choices;
        choices.voice.rate = 1.0; // quick to make
        choices.sentenceEnds = sentences::SentenceEnds(ends);
        choices.language = QStringLiteral("en");
        choices.pictures = true;
        const ExportedBook book = twoTopics();
        const std::atomic<bool> cancelled{false};
        const BookExportOutcome outcome = exportEpub(
            book, choices, path, [](double, int) {}, cancelled);
        QVERIFY2(outcome.status == BookExportOutcome::Status::Saved, qPrintable(outcome.message));

        QStringList order;
        const QMap<QString, QByteArray> entries = entriesOf(path, &order);
        QCOMPARE(order.value(0), QStringLiteral("mimetype"));
        QCOMPARE(entries.value("mimetype"), QByteArray("application/epub+zip"));
        QCOMPARE(entries.value("EPUB/images/topic001.jpg"), book.topics[0].picture);
        QVERIFY(!entries.contains("EPUB/images/topic002.jpg")); // it has no picture
        static const QRegularExpression clip(QStringLiteral(
            "text src=\"topic00\\d.xhtml#s(\\d+)\"/><audio src=\"audio/topic00\\d.mp3\" "
            "clipBegin=\"([\\d.]+)s\" clipEnd=\"([\\d.]+)s\""));
        for (int page = 1; page <= 2; ++page) {
            const QString name = QStringLiteral("EPUB/topic%1").arg(page, 3, 10, QLatin1Char('0'));
            const QString xhtml = QString::fromUtf8(entries.value(name + ".xhtml"));
            QCOMPARE(xhtml.count(QStringLiteral("<span id=\"s")), sentences[page - 1]);
            const double length = mp3Seconds(entries.value(
                QStringLiteral("EPUB/audio/topic%1.mp3").arg(page, 3, 10, QLatin1Char('0'))));
            QVERIFY(length > 0);
            double last = 0;
            int clips = 0;
            for (auto it = clip.globalMatch(QString::fromUtf8(entries.value(name + ".smil")));
                 it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                QCOMPARE(m.captured(1).toInt(), ++clips);
                const double begin = m.captured(2).toDouble();
                const double end = m.captured(3).toDouble();
                QVERIFY2(
                    begin >= last && end > begin && end <= length,
                    qPrintable(QStringLiteral("%1 to %2 of %3").arg(begin).arg(end).arg(length)));
                last = end;
            }
            QCOMPARE(clips, sentences[page - 1]);
        }
        QVERIFY(entries.value("EPUB/topic001.xhtml").contains("The mill &lt;stood&gt;."));
        QVERIFY(entries.value("EPUB/nav.xhtml").contains("<a href=\"topic002.xhtml\">Topic 2</a>"));

        if (choices.sentenceEnds != sentences::SentenceEnds::Punctuation)
            return; // one book is checked: the check takes a while
        const QString epubcheck = QStandardPaths::findExecutable(QStringLiteral("epubcheck"));
        if (epubcheck.isEmpty())
            FOLIMAR_SKIP_OUTSIDE_CI("epubcheck is not installed");
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        // Debian's is a Java archive, which runs by itself only where the system is told how.
        const QString program = QFileInfo(epubcheck).canonicalFilePath();
        if (program.endsWith(QLatin1String(".jar")))
            check.start(QStringLiteral("java"), {"-jar", program, path});
        else
            check.start(program, {path});
        QVERIFY(check.waitForFinished(180000));
        const QByteArray said = check.readAll();
        QVERIFY2(check.exitCode() == 0 && !said.contains("ERROR"), said.constData());
    }

    void aCancelledExportKeepsTheOlderFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("river.epub"));
        QFile older(path);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("older");
        older.close();
        std::atomic<bool> cancelled{false};
        const BookExportOutcome outcome = exportEpub(
            twoTopics(), {}, path, [&](double, int) { cancelled = true; }, cancelled);
        QVERIFY(outcome.status == BookExportOutcome::Status::Cancelled);
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("older"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"river.epub"});
    }

    void languagesAndClockValues() {
        QCOMPARE(bookLanguageOf(QStringLiteral("eng+deu")), QStringLiteral("en"));
        QCOMPARE(bookLanguageOf(QStringLiteral("chi_sim")), QStringLiteral("zh"));
        QCOMPARE(bookLanguageOf(QStringLiteral("qqq")), QStringLiteral("und"));
        QCOMPARE(bookLanguageOf(QString()), QStringLiteral("und"));
        QCOMPARE(mediaClock(3723.5), QStringLiteral("1:02:03.500"));
    }
};

QTEST_MAIN(TestEpubExport)
#include "tst_epubexport.moc"
