#include "settings/LaterSettings.h"
#include "settings/SettingsFile.h"
#include "settings/VocimarSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar::settings;
using folimar::platform::ProgramLocations;

namespace {

// Every field set, and set apart from its default.
Settings filledSettings() {
    Settings s;
    s.BookPath = QStringLiteral("/home/ann/Books/Trip, 2nd.fmr");
    s.CharacterPath = QStringLiteral("Merlin");
    s.CharacterSize = -3;
    s.PlayTopicsMode = 1;
    s.TopicIndex = 12;
    s.ReadPos = 70000;
    s.AgentStartPos = 1;
    s.RepeatMode = 1;
    s.PasteQuality = QStringLiteral("90");
    s.WindowArrangement = 2;
    s.AgentLeft = 640;
    s.AgentTop = 480;
    s.ReaderTop = 10;
    s.ReaderLeft = 20;
    s.ReaderWidth = 700;
    s.ReaderHeight = 500;
    s.BookTop = 30;
    s.BookLeft = 40;
    s.BookWidth = 600;
    s.BookHeight = 400;
    s.ReaderWindowState = 2;
    s.BookWindowState = 1;
    s.LastFindText = QStringLiteral("say \"hi\"");
    s.CapsAsSmall = 1;
    s.DefaultZoom = 1;
    s.PlayAtStartup = 1;
    s.PrevBookPath = QStringLiteral("/b/Old.fmr");
    s.PrevTopicIndex = 3;
    s.PrevReadPos = 5;
    s.UserName = QStringLiteral("Zo\u00eb");
    return s;
}

const QByteArray FilledLine =
    "\"/home/ann/Books/Trip, 2nd.fmr\",\"Merlin\",-3,1,12,70000,1,1,\"90\","
    "2,640,480,10,20,700,500,30,40,600,400,2,1,\"say 'hi'\",1,1,1,"
    "\"/b/Old.fmr\",3,5,\"Zo\xc3\xab\"\r\n";

// A line whose texts hold no commas, so its items can be told apart by splitting.
const QByteArray PlainLine = "\"/b/x.fmr\",\"Genie\",0,0,4,9,0,0,\"75\",1,0,0,0,0,0,0,0,0,0,0,0,0,"
                             "\"\",0,0,0,\"\",0,0,\"Ann\"\r\n";

QList<QByteArray> itemsOf(const Settings& s) {
    return FolimarSettingsLine(s).chopped(2).split(',');
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

ProgramLocations locationsIn(const QString& folder) {
    ProgramLocations locations;
    locations.ProgramFolder = folder;
    locations.LastFolder = QStringLiteral("/start");
    return locations;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesTheLineByteForByte() {
        QCOMPARE(FolimarSettingsLine(filledSettings()), FilledLine);
        QCOMPARE(FolimarSettingsLine(Settings()),
                 QByteArray("\"\",\"Genie\",0,0,0,0,0,0,\"75\",0,0,0,0,0,0,0,0,0,0,0,0,0,"
                            "\"\",0,0,0,\"\",0,0,\"\"\r\n"));
    }

    void readsBackWhatItWrote() {
        Settings written = filledSettings();
        written.LastFindText = QStringLiteral("  two\r\nlines, with\ttab");
        const QByteArray line = FolimarSettingsLine(written);
        Settings read;
        QCOMPARE(ReadFolimarSettingsLine(line, read), 30);
        QCOMPARE(FolimarSettingsLine(read), line);
        QCOMPARE(read.LastFindText, written.LastFindText);
    }

    void readsWhatItCanOfADamagedLine_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("fieldsRead");
        const QList<QByteArray> plain = PlainLine.chopped(2).split(',');
        auto withField = [&](int index, const QByteArray& item) {
            QList<QByteArray> items = plain;
            items[index] = item;
            return items.join(',') + "\r\n";
        };
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("only a line end") << QByteArray("\r\n") << 0;
        QTest::newRow("12 fields") << plain.mid(0, 12).join(',') + "\r\n" << 12;
        QTest::newRow("ends after a comma") << plain.mid(0, 12).join(',') + ",\r\n" << 12;
        QTest::newRow("text where a number belongs") << withField(2, "big") << 2;
        QTest::newRow("quoted number") << withField(2, "\"5\"") << 2;
        QTest::newRow("16-bit number out of range") << withField(4, "40000") << 4;
        QTest::newRow("32-bit reading place") << withField(5, "-100000") << 30;
        QTest::newRow("32-bit number out of range") << withField(5, "2147483648") << 5;
        QTest::newRow("quote left open") << QByteArray("\"/b/x.fmr\",\"Genie,0,0,4") << 1;
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x81,\"\x01\x02", 8) << 1;
        QTest::newRow("unquoted and spaced items")
            << QByteArray("  /b/x.fmr ,Genie, 0 ,0,4,9,0,0,75,1,0,0,0,0,0,0,0,0,0,0,0,0,,0,0,0,,0,"
                          "0,Ann\r\n")
            << 30;
        QTest::newRow("items over several lines")
            << QByteArray(PlainLine).replace(",0,0,", "\r\n0\r\n0,") << 30;
        QTest::newRow("text after a closing quote is ignored")
            << withField(0, "\"/b/x.fmr\"junk") << 30;
    }
    void readsWhatItCanOfADamagedLine() {
        QFETCH(QByteArray, line);
        QFETCH(int, fieldsRead);
        Settings before = filledSettings();
        before.BookPath = QStringLiteral("/home/ann/Books/Trip.fmr"); // items split at commas
        Settings read = before;
        QCOMPARE(ReadFolimarSettingsLine(line, read), fieldsRead);
        // The fields that were read have the line's values; the rest keep theirs.
        const QList<QByteArray> plain = PlainLine.chopped(2).split(',');
        const QList<QByteArray> items = itemsOf(read);
        const QList<QByteArray> kept = itemsOf(before);
        QCOMPARE(items.size(), kept.size());
        QCOMPARE(items.mid(fieldsRead), kept.mid(fieldsRead));
        if (fieldsRead == 30)
            QCOMPARE(items.mid(6), plain.mid(6));
    }

    void loadsDefaultsThenTheFileAndTheBooksFolder() {
        QTemporaryDir dir;
        ProgramLocations locations = locationsIn(dir.path());

        Settings s = filledSettings();
        s.PasteQuality = QStringLiteral("10");
        LoadSettings(s, locations); // no file yet
        QCOMPARE(s.PasteQuality, QStringLiteral("75"));
        QCOMPARE(s.CharacterPath, QStringLiteral("Genie"));
        QCOMPARE(s.BookPath, filledSettings().BookPath);
        QCOMPARE(locations.LastFolder, QStringLiteral("/home/ann/Books"));

        QVERIFY(writeFile(SettingsFilePath(dir.path()), PlainLine));
        locations = locationsIn(dir.path());
        LoadSettings(s, locations);
        QCOMPARE(s.BookPath, QStringLiteral("/b/x.fmr"));
        QCOMPARE(s.ReadPos, 9);
        QCOMPARE(locations.LastFolder, QStringLiteral("/b"));

        // The untitled book does not move the file dialogs.
        s.BookPath = locations.untitledBookPath();
        QVERIFY(SaveSettings(s, locations));
        locations = locationsIn(dir.path());
        LoadSettings(s, locations);
        QCOMPARE(locations.LastFolder, QStringLiteral("/start"));
    }

    void savesTheWholeLineAndRemembersThePreviousBook() {
        QTemporaryDir dir;
        const ProgramLocations locations = locationsIn(dir.path());
        const QString path = SettingsFilePath(dir.path());
        QVERIFY(writeFile(path, QByteArray(4096, 'x')));

        Settings s = filledSettings();
        QVERIFY(SaveSettings(s, locations));
        QCOMPARE(s.PrevBookPath, s.BookPath);
        QCOMPARE(s.PrevTopicIndex, s.TopicIndex);
        QCOMPARE(s.PrevReadPos, s.ReadPos);
        QCOMPARE(readFile(path), FolimarSettingsLine(s));
    }

    void unwritableFolderWritesNothing() {
        QTemporaryDir dir;
        // A folder that cannot hold files even for the superuser: it is a file.
        const QString notAFolder = dir.filePath(QStringLiteral("plain"));
        QVERIFY(writeFile(notAFolder, "keep"));
        Settings s = filledSettings();
        QVERIFY(!SaveSettings(s, locationsIn(notAFolder)));
        QVERIFY(!SaveVocimarSettings(s, locationsIn(notAFolder)));
        QCOMPARE(readFile(notAFolder), QByteArray("keep"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("plain")});
    }

    void vocimarKeepsSevenFieldsInTheSameForm() {
        QTemporaryDir dir;
        const ProgramLocations locations = locationsIn(dir.path());
        const Settings filled = filledSettings();
        QCOMPARE(VocimarSettingsLine(filled),
                 QByteArray("\"Merlin\",-3,1,640,480,\"say 'hi'\",1\r\n"));
        QVERIFY(SaveVocimarSettings(filled, locations));
        QCOMPARE(readFile(VocimarSettingsFilePath(dir.path())), VocimarSettingsLine(filled));

        Settings read;
        LoadVocimarSettings(read, locations);
        QCOMPARE(VocimarSettingsLine(read), VocimarSettingsLine(filled));
        QCOMPARE(read.BookPath, QString()); // not one of its fields

        // A short file leaves the fields it does not supply alone.
        QVERIFY(writeFile(VocimarSettingsFilePath(dir.path()), "\"Robby\",2\r\n"));
        LoadVocimarSettings(read, locations);
        QCOMPARE(read.CharacterPath, QStringLiteral("Robby"));
        QCOMPARE(read.CharacterSize, 2);
        QCOMPARE(read.RepeatMode, filled.RepeatMode);
        QCOMPARE(read.CapsAsSmall, filled.CapsAsSmall);
    }

    // The word mark and sentence end choices live beside each program's line; the lines keep their
    // form.
    void laterChoicesRoundTripBesideTheLines() {
        QTemporaryDir dir;
        const ProgramLocations locations = locationsIn(dir.path());
        Settings s = filledSettings();
        s.SpokenWordMark = 1;
        s.SentenceEnds = 1;
        QVERIFY(SaveSettings(s, locations));
        QVERIFY(SaveVocimarSettings(s, locations));
        QCOMPARE(readFile(SettingsFilePath(dir.path())), FolimarSettingsLine(s));
        QCOMPARE(VocimarSettingsLine(s), QByteArray("\"Merlin\",-3,1,640,480,\"say 'hi'\",1\r\n"));
        Settings vocimar;
        LoadVocimarSettings(vocimar, locations);
        QCOMPARE(vocimar.SpokenWordMark, qint16(1));
        QCOMPARE(vocimar.SentenceEnds, qint16(1));
        Settings folimar;
        ProgramLocations at = locations;
        LoadSettings(folimar, at);
        QCOMPARE(folimar.SpokenWordMark, qint16(1));
        QCOMPARE(folimar.SentenceEnds, qint16(1));

        // Missing, damaged or out of range: the choice stays as it was.
        const QString later = LaterSettingsPath(SettingsFilePath(dir.path()));
        QCOMPARE(later, dir.filePath(QStringLiteral("Folimar.conf")));
        for (const QByteArray& content :
             {QByteArray("[General]\nSpokenWordMark=7\nSentenceEnds=2\n"),
              QByteArray("[General]\nSpokenWordMark=x\nSentenceEnds=\n"),
              QByteArray("\xff\xfe garbage"), QByteArray()}) {
            QVERIFY(writeFile(later, content));
            Settings read;
            LoadLaterSettings(read, later);
            QCOMPARE(read.SpokenWordMark, qint16(0));
            QCOMPARE(read.SentenceEnds, qint16(0));
        }
        Settings read;
        LoadLaterSettings(read, dir.filePath(QStringLiteral("none.conf")));
        QCOMPARE(read.SpokenWordMark, qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
