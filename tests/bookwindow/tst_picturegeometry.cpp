#include "bookwindow/PictureGeometry.h"

#include <QTest>

#include <cmath>

using namespace folimar::bookwindow;

namespace {

PictureState natural(int width, int height) {
    PictureState picture;
    LoadNaturalSize(picture, QSize(width, height));
    return picture;
}

} // namespace

class TestPictureGeometry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fitsToTheWindow_data();
    void fitsToTheWindow();
    void scrollBarsFollowTheRatio_data();
    void scrollBarsFollowTheRatio();
    void zoomStepsAndTheirLimits();
    void scrollingCarriesThePictureAcross();
};

void TestPictureGeometry::fitsToTheWindow_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("defaultZoom");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("shown");

    QTest::newRow("Window: full width, then shrunk to the height")
        << QSize(1000, 4000) << 0 << QSize(2000, 1500) << QSize(375, 1500);
    QTest::newRow("Window: scaled up to the width when that fits")
        << QSize(1000, 4000) << 0 << QSize(2000, 9000) << QSize(2000, 8000);
    QTest::newRow("Fit: a small picture keeps its size")
        << QSize(500, 400) << 1 << QSize(2000, 1500) << QSize(500, 400);
    QTest::newRow("Fit: a wide picture shrinks to the width")
        << QSize(4000, 1000) << 1 << QSize(2000, 1500) << QSize(2000, 500);
    QTest::newRow("Fit: a tall picture shrinks to the height")
        << QSize(1000, 3000) << 1 << QSize(2000, 1500) << QSize(500, 1500);
    QTest::newRow("Fit: exactly the window's size stays")
        << QSize(2000, 1500) << 1 << QSize(2000, 1500) << QSize(2000, 1500);
    QTest::newRow("a window with no inside still shows a point")
        << QSize(1000, 4000) << 0 << QSize(0, -20) << QSize(1, 1);
}

void TestPictureGeometry::fitsToTheWindow() {
    QFETCH(QSize, picture);
    QFETCH(int, defaultZoom);
    QFETCH(QSize, window);
    QFETCH(QSize, shown);

    PictureState state = natural(picture.width(), picture.height());
    FitPicture(state, defaultZoom, window);
    QCOMPARE(QSize(state.PicWidth, state.PicHeight), shown);
    // The natural size is kept for the zoom commands.
    QCOMPARE(QSize(state.PicFullWidth, state.PicFullHeight), picture);
}

void TestPictureGeometry::scrollBarsFollowTheRatio_data() {
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<QSize>("visible");
    QTest::addColumn<bool>("across");
    QTest::addColumn<int>("acrossMaximum");
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("downMaximum");

    QTest::newRow("exactly as wide as the visible area: no bar")
        << QSize(800, 600) << QSize(800, 600) << false << 0 << false << 0;
    QTest::newRow("one and a half times as tall")
        << QSize(800, 900) << QSize(800, 600) << false << 0 << true << 15;
    QTest::newRow("ten times ratio, rounded half to even")
        << QSize(1250, 100) << QSize(1000, 600) << true << 12 << false << 0;
    QTest::newRow("no visible area: no division by zero, range capped")
        << QSize(5000, 40000) << QSize(0, 0) << true << 32767 << true << 32767;
}

void TestPictureGeometry::scrollBarsFollowTheRatio() {
    QFETCH(QSize, shown);
    QFETCH(QSize, visible);
    PictureState state = natural(shown.width(), shown.height());
    const ScrollRanges ranges = UpdateRatios(state, visible);
    QTEST(ranges.horizontal.shown, "across");
    QTEST(ranges.horizontal.maximum, "acrossMaximum");
    QTEST(ranges.vertical.shown, "down");
    QTEST(ranges.vertical.maximum, "downMaximum");
    QVERIFY(std::isfinite(state.HRatio) && std::isfinite(state.VRatio));
}

void TestPictureGeometry::zoomStepsAndTheirLimits() {
    const ZoomLimits limits{100, 16000};

    PictureState narrow = natural(140, 2000);
    QVERIFY(!ZoomOut(narrow, limits)); // 140 / 1.5 = 93, below 100
    QCOMPARE(QSize(narrow.PicWidth, narrow.PicHeight), QSize(140, 2000));

    PictureState page = natural(300, 600);
    QVERIFY(ZoomOut(page, limits));
    QCOMPARE(QSize(page.PicWidth, page.PicHeight), QSize(200, 400));
    QVERIFY(ZoomIn(page, limits));
    QVERIFY(ZoomIn(page, limits));
    QCOMPARE(QSize(page.PicWidth, page.PicHeight), QSize(450, 900));
    QVERIFY(ZoomWindowWidth(page, QSize(1000, 700), limits));
    QCOMPARE(QSize(page.PicWidth, page.PicHeight), QSize(1000, 2000));
    QVERIFY(ZoomNatural(page, limits));
    QCOMPARE(QSize(page.PicWidth, page.PicHeight), QSize(300, 600));

    // Zooming in stops at the largest side allowed instead of growing without end.
    PictureState large = natural(12000, 6000);
    QVERIFY(ZoomIn(large, limits));
    QCOMPARE(QSize(large.PicWidth, large.PicHeight), QSize(16000, 8000));
    QVERIFY(!ZoomIn(large, limits));
    PictureState huge = natural(40000, 10000);
    QVERIFY(ZoomNatural(huge, limits));
    QCOMPARE(QSize(huge.PicWidth, huge.PicHeight), QSize(16000, 4000));

    PictureState none;
    QVERIFY(!ZoomNatural(none, limits));
    QVERIFY(!ZoomWindowWidth(none, QSize(100, 100), limits));
    QVERIFY(!ZoomIn(none, limits));
    QVERIFY(!ZoomOut(none, limits));
}

void TestPictureGeometry::scrollingCarriesThePictureAcross() {
    // A picture 2.0 times the visible width: the bar runs 0..20 over 1000 hidden units.
    QCOMPARE(ScrollOffset(0, 2.0f, 9, 2000, 1000), 0);
    QCOMPARE(ScrollOffset(9, 2.0f, 9, 2000, 1000), -500);
    QCOMPARE(ScrollOffset(18, 2.0f, 9, 2000, 1000), -1000);
    QCOMPARE(ScrollOffset(20, 2.0f, 9, 2000, 1000), -1111); // a little past the edge
    QCOMPARE(ScrollOffset(16, 2.0f, 8, 2000, 1000), -1000);
    QCOMPARE(ScrollOffset(5, 0.0f, 9, 2000, 1000), 0);
}

QTEST_APPLESS_MAIN(TestPictureGeometry)
#include "tst_picturegeometry.moc"
