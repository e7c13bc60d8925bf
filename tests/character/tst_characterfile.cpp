#include "platform/character/CharacterFileReader.h"
#include "platform/character/DesktopCharacterService.h"
#include "support/FifoWatch.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace folimar::character;

namespace {

const QByteArray Square = "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'>"
                          "<rect width='20' height='20' fill='#3a6'/></svg>";

QJsonObject validCharacter(const QString& name = "Tester") {
    const QJsonObject inlineSquare{{"svg", QString::fromUtf8(Square)}};
    const QJsonObject once{{"frames", QJsonArray{"rest"}}, {"interval", 100}};
    return {{"format", "folimar-character"},
            {"version", 1},
            {"name", name},
            {"width", 40},
            {"height", 50},
            {"frames", QJsonObject{{"rest", QJsonArray{inlineSquare}}}},
            {"animations",
             QJsonObject{{"Idle", once}, {"Speaking", once}, {"Show", once}, {"Hide", once}}}};
}

QByteArray withLayer(const QJsonValue& layer) {
    QJsonObject character = validCharacter();
    character["frames"] = QJsonObject{{"rest", QJsonArray{layer}}};
    return QJsonDocument(character).toJson();
}

QByteArray withValue(const QString& key, const QJsonValue& value) {
    QJsonObject character = validCharacter();
    character[key] = value;
    return QJsonDocument(character).toJson();
}

// An SVG picture carrying `inner` as a data: picture of type `type`.
QString carrying(const QByteArray& inner, const char* type = "image/svg+xml") {
    return QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' "
                          "xmlns:xlink='http://www.w3.org/1999/xlink' width='20' height='20'>"
                          "<image width='20' height='20' xlink:href='data:%1;base64,%2'/></svg>")
        .arg(QLatin1String(type), QString::fromLatin1(inner.toBase64()));
}

// An SVG picture drawing the picture file at `path`.
QByteArray innerLinking(const QString& path) {
    return QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' "
                          "xmlns:xlink='http://www.w3.org/1999/xlink' width='20' height='20'>"
                          "<image width='20' height='20' xlink:href='%1'/></svg>")
        .arg(path)
        .toUtf8();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::unique_ptr<DesktopCharacterService> serviceOver(const QStringList& folders,
                                                     const QString& voiceFile) {
    return std::make_unique<DesktopCharacterService>(
        folders, std::make_unique<SilentVoiceProvider>(1000.0), voiceFile);
}

} // namespace

class CharacterFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void loadsByBareNameFromFoldersInOrderAndByPath() {
        QTemporaryDir user;
        QVERIFY(user.isValid());
        const QString installed = QStringLiteral(FOLIMAR_BIN_DIR "/characters");
        QVERIFY(writeFile(user.filePath("Pebble.acs"),
                          QJsonDocument(validCharacter("Pebble")).toJson()));
        QVERIFY(writeFile(user.filePath("Genie.acs"),
                          QJsonDocument(validCharacter("Impostor")).toJson()));
        auto service = serviceOver({installed, user.path()}, user.filePath("voice.conf"));

        QString error;
        Character* genie = service->load("CharacterID", "Genie", &error);
        QVERIFY2(genie, qPrintable(error));
        QCOMPARE(genie->name(), QString("Genie")); // the installed one comes first
        QCOMPARE(genie->size(), QSize(128, 160));
        QCOMPARE(service->character("CharacterID"), genie);

        Character* mossbit = service->load("Other", "Mossbit.acs", &error);
        QVERIFY2(mossbit, qPrintable(error));
        QCOMPARE(mossbit->name(), QString("Mossbit"));

        Character* pebble = service->load("CharacterID", "Pebble", &error);
        QVERIFY2(pebble, qPrintable(error));
        QCOMPARE(pebble->name(), QString("Pebble"));
        QCOMPARE(service->character("CharacterID"), pebble); // the id now holds the new one

        Character* byPath = service->load("Path", installed + "/Mossbit.acs", &error);
        QVERIFY2(byPath, qPrintable(error));
        QCOMPARE(byPath->name(), QString("Mossbit"));

        error.clear();
        QVERIFY(!service->load("CharacterID", "Nobody", &error));
        QVERIFY(error.contains("Nobody"));
        QVERIFY(!service->character("CharacterID")); // a failed load leaves the id empty
        QVERIFY(!service->load("Path", user.filePath("missing/Genie.acs"), &error));
        QVERIFY(!service->character("Path"));
        service->unload("Other");
        QVERIFY(!service->character("Other"));
        service->unload("never loaded");
    }

    void damagedOrHostileFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");

        QTest::newRow("not JSON") << QByteArray("GIF89a\x01\x02") << "not a character file";
        QTest::newRow("JSON list") << QByteArray("[1, 2]") << "not a character file";
        QTest::newRow("other format") << withValue("format", "something-else") << "format";
        QTest::newRow("newer version") << withValue("version", 2) << "version";
        QTest::newRow("name not text") << withValue("name", 42) << "name";
        QTest::newRow("width as text") << withValue("width", "128") << "width";
        QTest::newRow("huge height") << withValue("height", 1000000) << "height";
        QTest::newRow("zero width") << withValue("width", 0) << "width";
        QTest::newRow("fractional width") << withValue("width", 40.5) << "width";
        QTest::newRow("frames not an object") << withValue("frames", QJsonArray{}) << "frames";
        QJsonObject manyFrames;
        for (int i = 0; i <= CharacterFileReader::MaxFrames; ++i)
            manyFrames.insert(QString("f%1").arg(i),
                              QJsonArray{QJsonObject{{"svg", QString(Square)}}});
        QTest::newRow("too many frames") << withValue("frames", manyFrames) << "frames";
        QJsonArray manyLayers;
        for (int i = 0; i <= CharacterFileReader::MaxLayersPerFrame; ++i)
            manyLayers << QJsonObject{{"svg", QString(Square)}};
        QTest::newRow("too many layers")
            << withValue("frames", QJsonObject{{"rest", manyLayers}}) << "pictures";
        QTest::newRow("layer of wrong type") << withLayer(7) << "neither a file name";
        QTest::newRow("missing picture file") << withLayer("art/none.svg") << "does not exist";
        QTest::newRow("parent folder") << withLayer("../outside.svg") << "outside";
        QTest::newRow("absolute path") << withLayer(QDir::rootPath() + "etc/hostname") << "outside";
        QTest::newRow("link leading out") << withLayer("art/link.svg") << "outside";
        QTest::newRow("folder as picture") << withLayer("art") << "not a regular file";
        QTest::newRow("invalid SVG") << withLayer("art/broken.svg") << "not a valid SVG";
        QTest::newRow("inline invalid SVG")
            << withLayer(QJsonObject{{"svg", "<svg><rect"}}) << "not a valid SVG";
        QTest::newRow("SVG linking a file") << withLayer("art/linking.svg") << "other files";
        QTest::newRow("huge picture") << withLayer("art/huge.svg") << "larger than";
        const QJsonObject once{{"frames", QJsonArray{"rest"}}};
        QTest::newRow("no Idle animation")
            << withValue("animations",
                         QJsonObject{{"Speaking", once}, {"Show", once}, {"Hide", once}})
            << "Idle";
        QJsonObject missingFrame = validCharacter()["animations"].toObject();
        missingFrame["Idle"] = QJsonObject{{"frames", QJsonArray{"rest", "gone"}}};
        QTest::newRow("missing frame") << withValue("animations", missingFrame) << "missing frame";
        QJsonObject tooFast = validCharacter()["animations"].toObject();
        tooFast["Idle"] = QJsonObject{{"frames", QJsonArray{"rest"}}, {"interval", 0}};
        QTest::newRow("zero interval") << withValue("animations", tooFast) << "interval";
        QJsonObject badLoop = validCharacter()["animations"].toObject();
        badLoop["Idle"] = QJsonObject{{"frames", QJsonArray{"rest"}}, {"loop", "yes"}};
        QTest::newRow("loop not a truth value") << withValue("animations", badLoop) << "loop";
        QJsonArray longAnimation;
        for (int i = 0; i <= CharacterFileReader::MaxFramesPerAnimation; ++i)
            longAnimation << "rest";
        QJsonObject tooLong = validCharacter()["animations"].toObject();
        tooLong["Idle"] = QJsonObject{{"frames", longAnimation}};
        QTest::newRow("too many animation frames") << withValue("animations", tooLong) << "frames";
        QTest::newRow("huge file")
            << QByteArray(CharacterFileReader::MaxFileBytes + 1, ' ') << "larger than";
    }

    void damagedOrHostileFilesAreRefused() {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QDir top(root.path());
        QVERIFY(top.mkpath("chars/art"));
        QVERIFY(writeFile(top.filePath("outside.svg"), Square));
        QVERIFY(QFile::link(top.filePath("outside.svg"), top.filePath("chars/art/link.svg")));
        QVERIFY(writeFile(top.filePath("chars/art/broken.svg"), "<svg><g></svg"));
        QVERIFY(writeFile(top.filePath("chars/art/linking.svg"),
                          "<svg xmlns='http://www.w3.org/2000/svg' "
                          "xmlns:xlink='http://www.w3.org/1999/xlink'><image "
                          "xlink:href='file:///etc/hostname' width='5' height='5'/></svg>"));
        QByteArray huge = Square;
        huge.insert(huge.indexOf("<rect"), QByteArray(CharacterFileReader::MaxPictureBytes, ' '));
        QVERIFY(writeFile(top.filePath("chars/art/huge.svg"), huge));
        const QString path = top.filePath("chars/Damaged.acs");
        QVERIFY(writeFile(path, content));

        QString error;
        QVERIFY(!CharacterFileReader::read(path, &error));
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY(error.contains(path));

        auto service = serviceOver({top.filePath("chars")}, top.filePath("voice.conf"));
        QVERIFY(!service->load("CharacterID", "Damaged", &error));
        QVERIFY(!service->character("CharacterID"));
    }

    // An SVG picture carried inside another as a data: picture gets no checks of its own
    // from Qt: it is refused, and whatever it names is never opened. Plain PNG pictures may
    // still be carried.
    void carriedPicturesOpenNoFiles_data() {
        QTest::addColumn<QString>("inner");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("SVG naming a pipe") << "pipe" << false;
        QTest::newRow("SVG naming a local picture") << "local" << false;
        QTest::newRow("SVG sent as PNG") << "svg-as-png" << false;
        QTest::newRow("PNG") << "png" << true;
    }

    void carriedPicturesOpenNoFiles() {
        QFETCH(QString, inner);
        QFETCH(bool, accepted);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        folimar::testing::FifoWatch pipe(root.filePath("pipe"));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::green);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const QString local = root.filePath("local.png");
        QVERIFY(writeFile(local, png));

        QString svg;
        if (inner == "png")
            svg = carrying(png, "image/png");
        else if (inner == "svg-as-png")
            svg = carrying(innerLinking(local), "image/png");
        else
            svg = carrying(innerLinking(inner == "pipe" ? pipe.path() : local));
        const QString path = root.filePath("Nested.acs");
        QVERIFY(writeFile(path, withLayer(QJsonObject{{"svg", svg}})));
        QString error;
        const auto art = CharacterFileReader::read(path, &error);
        QVERIFY(!pipe.opened());
        QCOMPARE(bool(art), accepted);
        if (!accepted)
            QVERIFY2(error.contains("not PNG or JPEG"), qPrintable(error));
    }

    void unusualFilesAreRefusedWithoutBlocking() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString pipe = root.filePath("Pipe.acs");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(QDir(root.path()).mkdir("Folder.acs"));
        for (const QString& path : {pipe, root.filePath("Folder.acs"), QString("/dev/zero")}) {
            QString error;
            QVERIFY(!CharacterFileReader::read(path, &error));
            QVERIFY2(error.contains("not a regular file"), qPrintable(error));
        }
        // The same art read once more is still good: a valid file next to the broken ones.
        QVERIFY(writeFile(root.filePath("Fine.acs"), QJsonDocument(validCharacter()).toJson()));
        QString error;
        const auto art = CharacterFileReader::read(root.filePath("Fine.acs"), &error);
        QVERIFY2(art, qPrintable(error));
        QCOMPARE(art->size, QSize(40, 50));
        QCOMPARE(art->animations.value("Idle").intervalMs, 100);
    }
};

QTEST_MAIN(CharacterFileTest)
#include "tst_characterfile.moc"
