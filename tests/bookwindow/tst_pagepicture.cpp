#include "bookwindow/JpegDecoder.h"
#include "bookwindow/JpegScale.h"
#include "bookwindow/PagePicture.h"
#include "bookwindow/PreparedPicture.h"
#include "pictures/PictureMemory.h"
#include "pictures/PictureReading.h"
#include "support/CraftedJpeg.h"
#include "support/LargePictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTest>
#include <vector>

using namespace folimar::bookwindow;
using folimar::testing::jpegClaiming;

Q_DECLARE_METATYPE(JpegScale)

namespace {

constexpr QRgb Brick = qRgb(190, 60, 40);
constexpr QRgb Sea = qRgb(30, 90, 200);

// Brick on the left half, sea on the right: a swapped channel or a mirrored decode shows.
QByteArray page(const char* format, QImage::Format pixels = QImage::Format_RGB32,
                QSize size = {1600, 1200}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Brick);
    QPainter(&image).fillRect(size.width() / 2, 0, size.width(), size.height(), QColor(Sea));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(pixels).save(&buffer, format, 95);
    return bytes;
}

// A progressive JPEG with its smallest scan repeated `repeats` times before its end: a
// file of kilobytes whose decoding goes over the whole picture again at every scan.
QByteArray jpegRepeatingAScan(int repeats) {
    QImage image(1024, 1024, QImage::Format_RGB32);
    image.fill(Brick);
    QByteArray bytes = folimar::testing::jpegBytes(image, -1, true);
    const auto byte = [&bytes](qsizetype at) { return int(uchar(bytes.at(at))); };
    QByteArray smallest;
    qsizetype at = 2;
    while (at + 4 <= bytes.size() && byte(at + 1) != 0xd9) {
        qsizetype end = at + 2 + (byte(at + 2) << 8 | byte(at + 3));
        if (byte(at + 1) == 0xda) { // a scan runs on to the next marker
            while (end + 1 < bytes.size() && !(byte(end) == 0xff && byte(end + 1) != 0 &&
                                               (byte(end + 1) < 0xd0 || byte(end + 1) > 0xd7)))
                ++end;
            if (smallest.isEmpty() || end - at < smallest.size())
                smallest = bytes.mid(at, end - at);
        }
        at = end;
    }
    return bytes.insert(at, smallest.repeated(repeats));
}

bool near(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) <= 12 && qAbs(qGreen(a) - qGreen(b)) <= 12 &&
           qAbs(qBlue(a) - qBlue(b)) <= 12;
}

} // namespace

class TestPagePicture : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The program's own bound first, so that the tests' lower ones are the last word.
    void initTestCase() { folimar::pictures::allowPagePictures(); }
    void decodesAtTheSmallestScaleThatCoversTheShownSize_data();
    void decodesAtTheSmallestScaleThatCoversTheShownSize();
    void storedPicturesRenderAtTheShownSize_data();
    void storedPicturesRenderAtTheShownSize();
    void photosAreShownUprightAsTheirExifSays_data();
    void photosAreShownUprightAsTheirExifSays();
    void decodingKeepsToTheImageMemoryLimit();
    void fullSizeBuffersKeepToTheMemoryLimit_data();
    void fullSizeBuffersKeepToTheMemoryLimit();
    void endlessProgressionsAreRefused();
    void unreadableBytesGiveNoPicture_data();
    void unreadableBytesGiveNoPicture();
    void preparedPicturesServeOnlyTheirOwnBytesAndSize();
};

void TestPagePicture::decodesAtTheSmallestScaleThatCoversTheShownSize_data() {
    QTest::addColumn<QSize>("natural");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<JpegScale>("expected");

    const QSize a4(2480, 3508);
    QTest::newRow("A4 scan fitted to a window") << a4 << QSize(686, 970) << JpegScale{3, 8};
    QTest::newRow("exactly half") << a4 << QSize(1240, 1754) << JpegScale{4, 8};
    QTest::newRow("one pixel over a quarter") << a4 << QSize(621, 100) << JpegScale{3, 8};
    QTest::newRow("the height decides") << a4 << QSize(100, 878) << JpegScale{3, 8};
    QTest::newRow("sides rounded up") << QSize(2481, 3509) << QSize(311, 439) << JpegScale{1, 8};
    QTest::newRow("natural size") << a4 << a4 << JpegScale{1, 1};
    QTest::newRow("zoomed in") << QSize(800, 600) << QSize(1200, 900) << JpegScale{1, 1};
    QTest::newRow("just under natural") << QSize(800, 600) << QSize(799, 600) << JpegScale{1, 1};
}

void TestPagePicture::decodesAtTheSmallestScaleThatCoversTheShownSize() {
    QFETCH(QSize, natural);
    QFETCH(QSize, shown);
    QFETCH(JpegScale, expected);

    // The decoder's scales, n/8 for n = 16 down to 1, as libjpeg-turbo lists them.
    std::vector<JpegScale> eighths;
    for (int n = 16; n >= 1; --n)
        eighths.push_back({n, 8});
    const JpegScale scale = ChooseJpegScale(natural, shown, eighths);
    QCOMPARE(scale.num * expected.denom, expected.num * scale.denom);
}

void TestPagePicture::storedPicturesRenderAtTheShownSize_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("shown");

    const QByteArray jpeg = page("JPG");
    QTest::newRow("JPEG shrunk") << jpeg << QSize(500, 375);
    QTest::newRow("JPEG at natural size") << jpeg << QSize(1600, 1200);
    QTest::newRow("JPEG enlarged") << jpeg << QSize(2000, 1500);
    QTest::newRow("JPEG cut short shows what it holds")
        << jpeg.left(jpeg.size() * 6 / 10) << QSize(400, 300);
    QTest::newRow("greyscale JPEG") << page("JPG", QImage::Format_Grayscale8) << QSize(401, 301);
    QTest::newRow("PNG of an older book") << page("PNG") << QSize(500, 375);
    QTest::newRow("BMP of an older book") << page("BMP") << QSize(500, 375);
}

void TestPagePicture::storedPicturesRenderAtTheShownSize() {
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, shown);

    PagePicture picture;
    QVERIFY(picture.load(bytes));
    QCOMPARE(picture.naturalSize(), QSize(1600, 1200));
    const QImage image = picture.render(shown);
    QCOMPARE(image.size(), shown);
    const QRgb left = image.pixel(shown.width() / 4, shown.height() / 4);
    const QRgb right = image.pixel(shown.width() * 3 / 4, shown.height() / 4);
    QCOMPARE(qAlpha(left), 255);
    if (QTest::currentDataTag() == QByteArray("greyscale JPEG")) {
        QCOMPARE(qRed(left), qBlue(left));
        QVERIFY(near(left, QColor(qGray(Brick), qGray(Brick), qGray(Brick)).rgb()));
        QVERIFY(near(right, QColor(qGray(Sea), qGray(Sea), qGray(Sea)).rgb()));
    } else {
        QVERIFY(near(left, Brick));
        QVERIFY(near(right, Sea));
    }
}

void TestPagePicture::photosAreShownUprightAsTheirExifSays_data() {
    QTest::addColumn<quint16>("orientation");
    for (quint16 orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("EXIF orientation %d", orientation) << orientation;
}

// Each orientation's upright picture as Qt's reader gives it, drawn from the bytes at full
// and at half size: a pasted photo is shown so without being decoded whole first.
void TestPagePicture::photosAreShownUprightAsTheirExifSays() {
    QFETCH(quint16, orientation);
    // Brick on the left with a green corner at the top, sea on the right: every turn and
    // mirroring shows.
    QImage drawn(320, 160, QImage::Format_RGB32);
    drawn.fill(Brick);
    QPainter painter(&drawn);
    painter.fillRect(160, 0, 160, 160, QColor(Sea));
    painter.fillRect(0, 0, 80, 80, Qt::green);
    painter.end();
    const QByteArray bytes =
        folimar::testing::withExifOrientation(folimar::testing::jpegBytes(drawn, 95), orientation);
    QVERIFY(folimar::pictures::showsFromBytes({bytes, {}}));
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QImage upright = reader.read();
    PagePicture picture;
    QVERIFY(picture.load(bytes));
    QCOMPARE(picture.naturalSize(), upright.size());
    for (const int shrink : {1, 2}) {
        const QImage shown = picture.render(upright.size() / shrink);
        QCOMPARE(shown.size(), upright.size() / shrink);
        for (int y = 1; y < 8; y += 2) {
            for (int x = 1; x < 8; x += 2) {
                const QRgb expected = upright.pixel(upright.width() * x / 8,
                                                    upright.height() * y / 8);
                QVERIFY2(near(shown.pixel(shown.width() * x / 8, shown.height() * y / 8),
                              expected),
                         qPrintable(QStringLiteral("at %1/8, %2/8").arg(x).arg(y)));
            }
        }
    }
}

void TestPagePicture::decodingKeepsToTheImageMemoryLimit() {
    const QByteArray jpeg = page("JPG");
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1); // megabytes: 1600 x 1200 needs over 7
    const QImage whole = JpegDecoder().decode(jpeg, {1600, 1200});
    const QImage quarter = JpegDecoder().decode(jpeg, {400, 300});
    QImageReader::setAllocationLimit(limit);
    QVERIFY(whole.isNull());
    QCOMPARE(quarter.size(), QSize(400, 300));
}

void TestPagePicture::fullSizeBuffersKeepToTheMemoryLimit_data() {
    QTest::addColumn<QByteArray>("jpeg");
    QTest::addColumn<bool>("shown");
    // With a 64 MB limit: a progressive picture buffers all its coefficients at full size
    // (6000 x 6000 with halved colour needs about 108 MB) however small it is shown; a
    // baseline one of the same size is decoded row by row at the shown size.
    QTest::newRow("progressive, vast") << jpegClaiming({6000, 6000}, true) << false;
    QTest::newRow("progressive, fits") << jpegClaiming({2000, 2000}, true) << true;
    QTest::newRow("baseline, vast") << jpegClaiming({6000, 6000}, false) << true;
}

void TestPagePicture::fullSizeBuffersKeepToTheMemoryLimit() {
    QFETCH(QByteArray, jpeg);
    QFETCH(bool, shown);
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(64);
    PagePicture picture;
    const bool loaded = picture.load(jpeg);
    const QImage rendered = loaded ? picture.render({300, 300}) : QImage();
    const QImage decoded = JpegDecoder().decode(jpeg, {300, 300});
    QImageReader::setAllocationLimit(limit);
    QCOMPARE(loaded, shown);
    QCOMPARE(rendered.isNull(), !shown);
    QCOMPARE(decoded.isNull(), !shown);
}

void TestPagePicture::endlessProgressionsAreRefused() {
    // A few repeated scans are shown as other viewers show them; hundreds are refused
    // rather than decoded for minutes, by Qt's reader neither.
    const QByteArray few = jpegRepeatingAScan(8);
    const QByteArray endless = jpegRepeatingAScan(600);
    QVERIFY(endless.size() < 64 * 1024);
    for (const QByteArray& jpeg : {few, endless}) {
        PagePicture picture;
        QVERIFY(picture.load(jpeg));
        const bool shown = jpeg.size() == few.size();
        QCOMPARE(picture.render({256, 256}).isNull(), !shown);
        QCOMPARE(JpegDecoder().decode(jpeg, {256, 256}).isNull(), !shown);
    }
}

void TestPagePicture::unreadableBytesGiveNoPicture_data() {
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray jpeg = page("JPG", QImage::Format_RGB32, {64, 64});
    QByteArray noFrame = jpeg;
    noFrame.replace(QByteArray("\xff\xc0", 2), QByteArray("\xff\x01", 2));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("not a picture at all");
    QTest::newRow("JPEG start marker only") << QByteArray("\xff\xd8\xff", 3);
    QTest::newRow("JPEG header cut before the size") << jpeg.left(20);
    QTest::newRow("JPEG with its frame header spoilt") << noFrame;
    // A start only Qt's reader gets past (an empty segment, then zeros), then a progressive
    // frame that claims 2.2 GB.
    QTest::newRow("vast JPEG only Qt's reader takes")
        << QByteArray("\xff\xd8\xff\xe0\x00\x00", 6) + QByteArray(16, '\0') +
               jpegClaiming({16672, 32856}, true).mid(2);
}

void TestPagePicture::unreadableBytesGiveNoPicture() {
    QFETCH(QByteArray, bytes);

    QVERIFY(JpegDecoder().size(bytes).isEmpty());
    QVERIFY(JpegDecoder().decode(bytes, {32, 32}).isNull());
    PagePicture picture;
    QVERIFY(!picture.load(bytes));
    QVERIFY(picture.render({32, 32}).isNull());
}

void TestPagePicture::preparedPicturesServeOnlyTheirOwnBytesAndSize() {
    const QByteArray jpeg = page("JPG");
    const QSize shown(400, 300);
    PagePicture whenShown;
    QVERIFY(whenShown.load(jpeg));
    const QImage expected = whenShown.render(shown);

    PreparedPicture prepared;
    prepared.prepare(jpeg, shown);
    QVERIFY(!prepared.take(jpeg, QSize(401, 300)).isValid()); // the window changed meanwhile
    QVERIFY(!prepared.take(page("JPG", QImage::Format_RGB32, {1600, 1201}), shown).isValid());
    QCOMPARE(prepared.take(jpeg, shown).result(), expected); // what showing it would draw
    QVERIFY(!prepared.take(jpeg, shown).isValid());          // handed out once

    prepared.prepare(QByteArray("not a picture"), shown);
    QVERIFY(prepared.take(QByteArray("not a picture"), shown).result().isNull());
    prepared.prepare(jpeg, shown);
    prepared.clear();
    QVERIFY(!prepared.take(jpeg, shown).isValid());
}

QTEST_APPLESS_MAIN(TestPagePicture)
#include "tst_pagepicture.moc"
