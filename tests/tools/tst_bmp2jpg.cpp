#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sys/stat.h>

namespace {

const QString converter = QStringLiteral(FOLIMAR_BIN_DIR "/bmp2jpg");

struct Quadrants {
    QColor topLeft{255, 0, 0};
    QColor topRight{0, 255, 0};
    QColor bottomLeft{0, 0, 255};
    QColor bottomRight{255, 255, 255};

    QColor at(int x, int y, int width, int height) const {
        const bool left = x < width / 2;
        if (y < height / 2)
            return left ? topLeft : topRight;
        return left ? bottomLeft : bottomRight;
    }
};

void put32(QByteArray& bytes, int at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}

void put16(QByteArray& bytes, int at, quint16 value) {
    qToLittleEndian(value, bytes.data() + at);
}

// An uncompressed bitmap of four coloured quadrants, written byte by byte as the format
// lays it out, so that the converter is checked against the format and not against Qt.
QByteArray bitmap(int width, int height, int bits, bool topDown, int headerSize = 40,
                  bool bitfields = false) {
    const int stride = (width * bits + 31) / 32 * 4;
    const int masksSize = bitfields && headerSize == 40 ? 12 : 0;
    const int offset = 14 + headerSize + masksSize;
    QByteArray bytes(offset + stride * height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, quint32(bytes.size()));
    put32(bytes, 10, quint32(offset));
    put32(bytes, 14, quint32(headerSize));
    put32(bytes, 18, quint32(width));
    put32(bytes, 22, quint32(topDown ? -height : height));
    put16(bytes, 26, 1);
    put16(bytes, 28, quint16(bits));
    put32(bytes, 30, bitfields ? 3 : 0);
    put32(bytes, 34, quint32(stride * height));
    if (bitfields) {
        put32(bytes, 54, 0x00FF0000);
        put32(bytes, 58, 0x0000FF00);
        put32(bytes, 62, 0x000000FF);
    }
    const Quadrants colours;
    for (int y = 0; y < height && bits >= 24; ++y) {
        const int fileRow = topDown ? y : height - 1 - y;
        char* row = bytes.data() + offset + fileRow * stride;
        for (int x = 0; x < width; ++x) {
            const QColor c = colours.at(x, y, width, height);
            char* pixel = row + x * bits / 8;
            pixel[0] = char(c.blue());
            pixel[1] = char(c.green());
            pixel[2] = char(c.red());
        }
    }
    return bytes;
}

bool near(QColor actual, QColor expected) {
    const int tolerance = 60;
    return qAbs(actual.red() - expected.red()) < tolerance &&
           qAbs(actual.green() - expected.green()) < tolerance &&
           qAbs(actual.blue() - expected.blue()) < tolerance;
}

struct Run {
    int exitCode = -1;
    QString errorOutput;
};

Run convert(const QString& folder, const QStringList& arguments, int waitMs = 60000) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(converter, arguments);
    if (!process.waitForFinished(waitMs))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestBmp2Jpg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void convertsUncompressedBitmaps_data() {
        QTest::addColumn<QByteArray>("bmp");
        QTest::addColumn<QString>("quality");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("24-bit bottom-up, padded rows")
            << bitmap(41, 23, 24, false) << "-Q75" << 41 << 23;
        QTest::newRow("24-bit top-down, padded rows")
            << bitmap(37, 30, 24, true) << "-Q" << 37 << 30;
        QTest::newRow("32-bit bottom-up") << bitmap(33, 21, 32, false) << "-Q100" << 33 << 21;
        QTest::newRow("32-bit top-down") << bitmap(32, 32, 32, true) << "-Q50" << 32 << 32;
        QTest::newRow("32-bit masks after the header")
            << bitmap(35, 19, 32, false, 40, true) << "-Q90" << 35 << 19;
        QTest::newRow("32-bit masks in a V5 header")
            << bitmap(35, 19, 32, true, 124, true) << "-Q75" << 35 << 19;
        QTest::newRow("24-bit V4 header, quality 0")
            << bitmap(40, 24, 24, false, 108) << "-Q0" << 40 << 24;
        QTest::newRow("one pixel") << bitmap(1, 1, 24, false) << "-Q75" << 1 << 1;
    }
    void convertsUncompressedBitmaps() {
        QFETCH(QByteArray, bmp);
        QFETCH(QString, quality);
        QFETCH(int, width);
        QFETCH(int, height);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeFile(dir.filePath("scan.page.bmp"), bmp));
        QVERIFY(writeFile(dir.filePath("scan.page.jpg"), "an older picture"));

        const Run run = convert(dir.path(), {quality, "scan.page.bmp"});
        QCOMPARE(run.errorOutput, QString());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(filesIn(dir.path()), QStringList({"scan.page.bmp", "scan.page.jpg"}));

        QImage jpeg;
        QVERIFY(jpeg.load(dir.filePath("scan.page.jpg"), "JPEG"));
        QCOMPARE(jpeg.size(), QSize(width, height));
        if (width < 8)
            return; // a single pixel has no quadrants
        const Quadrants colours;
        const auto check = [&](int x, int y) {
            const QColor expected = colours.at(x, y, width, height);
            const QColor actual = jpeg.pixelColor(x, y);
            if (!near(actual, expected))
                qWarning() << "at" << x << y << "expected" << expected << "got" << actual;
            return near(actual, expected);
        };
        QVERIFY(check(1, 1));
        QVERIFY(check(width - 2, 1));
        QVERIFY(check(1, height - 2));
        QVERIFY(check(width - 2, height - 2));
    }

    void rejectsBrokenInputCleanly_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("bmp"); // written as "in.bmp" unless null

        const QByteArray good = bitmap(9, 7, 24, false);
        const auto patched = [&](int at, quint32 value, QByteArray bytes = {}) {
            if (bytes.isNull())
                bytes = good;
            put32(bytes, at, value);
            return bytes;
        };
        const QStringList normal{"-Q75", "in.bmp"};

        QTest::newRow("missing file") << normal << QByteArray();
        QTest::newRow("empty file") << normal << QByteArray("");
        QTest::newRow("truncated header") << normal << good.left(30);
        QTest::newRow("truncated pixels") << normal << good.left(good.size() - 1);
        QTest::newRow("wrong magic") << normal << QByteArray("PK").append(good.mid(2));
        QTest::newRow("zero width") << normal << patched(18, 0);
        QTest::newRow("negative width") << normal << patched(18, quint32(-9));
        QTest::newRow("zero height") << normal << patched(22, 0);
        QTest::newRow("most negative height") << normal << patched(22, 0x80000000u);
        QTest::newRow("side too long") << normal << patched(18, 30001);
        QTest::newRow("huge width*height") << normal << patched(22, 30000, patched(18, 30000));
        QTest::newRow("width*stride wraps 32 bits")
            << normal << patched(22, 2, patched(18, 0x55555556u));
        QTest::newRow("offset past the end") << normal << patched(10, 0xFFFFFFF0u);
        QTest::newRow("offset inside the header") << normal << patched(10, 20);
        QTest::newRow("8-bit") << normal << bitmap(8, 8, 8, false);
        QTest::newRow("RLE compressed") << normal << patched(30, 1);
        QTest::newRow("bitfields on 24-bit") << normal << patched(30, 3);
        QTest::newRow("other colour masks")
            << normal << patched(54, 0xFF, bitmap(8, 8, 32, false, 40, true));
        QTest::newRow("core header") << normal << patched(14, 12);
        QTest::newRow("header larger than file") << normal << patched(14, 124);

        const QByteArray small = bitmap(8, 8, 24, false);
        QTest::newRow("quality above 100") << QStringList{"-Q101", "in.bmp"} << small;
        QTest::newRow("quality not a number") << QStringList{"-Qhigh", "in.bmp"} << small;
        QTest::newRow("negative quality") << QStringList{"-Q-5", "in.bmp"} << small;
        QTest::newRow("other option") << QStringList{"-q75", "in.bmp"} << small;
        QTest::newRow("no file") << QStringList{"-Q75"} << small;
        QTest::newRow("extra argument") << QStringList{"-Q75", "in.bmp", "more"} << small;
        QTest::newRow("folder as file") << QStringList{"-Q75", "."} << small;
    }
    // A pipe named as the picture is refused at once, not waited on for a writer.
    void pipeIsRefusedWithoutWaiting() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("in.bmp")).constData(), 0600), 0);
        const Run run = convert(dir.path(), {"-Q75", "in.bmp"}, 10000);
        QVERIFY2(run.exitCode > 0, qPrintable(run.errorOutput));
        QVERIFY2(run.errorOutput.contains("not a regular file"), qPrintable(run.errorOutput));
        QCOMPARE(filesIn(dir.path()), QStringList{"in.bmp"});
    }

    void rejectsBrokenInputCleanly() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, bmp);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QStringList before;
        if (!bmp.isNull()) {
            QVERIFY(writeFile(dir.filePath("in.bmp"), bmp));
            before << "in.bmp";
        }

        const Run run = convert(dir.path(), arguments);
        QVERIFY2(run.exitCode > 0, qPrintable(run.errorOutput));
        QVERIFY(run.errorOutput.startsWith("bmp2jpg: "));
        QCOMPARE(run.errorOutput.count('\n'), 1);
        QVERIFY(run.errorOutput.endsWith('\n'));
        QCOMPARE(filesIn(dir.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestBmp2Jpg)
#include "tst_bmp2jpg.moc"
