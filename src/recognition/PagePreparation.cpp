#include "recognition/PagePreparation.h"

#include "recognition/PageOutline.h"
#include "recognition/RecognitionLog.h"

#include <QPainter>
#include <array>
#include <cmath>
#include <cstring>
#include <leptonica/allheaders.h>
#include <memory>

namespace folimar::recognition {

namespace {

// Leptonica's own choices for deskewing: a skew is trusted when the best line alignment
// stands out this clearly, and a smaller turn is not worth the blur of turning.
constexpr float MinimumSkewConfidence = 3.0f;
constexpr double SmallestTurnDegrees = 0.1;
// A stored picture this close to level is kept as it came: turning it would only blur it.
constexpr double StoredLevelDegrees = 0.2;
// The light is measured in a grid of tiles this many to a side, on every fourth pixel.
constexpr int LightTiles = 6;
constexpr int LightSampleStep = 4;
// The longest side of a picture whose skew is found at full size: an A4 page at 400 dpi.
constexpr int SkewLongestSide = 4700;
// Grey levels below this count as ink when the page is made black and white to find its lines.
constexpr int InkThreshold = 130;

struct PixDeleter {
    void operator()(PIX* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<PIX, PixDeleter>;

// Leptonica keeps 8-bit pixels in 32-bit words, the first pixel in the highest byte: rows
// are copied as they are, then the bytes of each word swapped (a no-op on big-endian).
PixPtr toPix(const QImage& grey) {
    PixPtr pix(pixCreate(grey.width(), grey.height(), 8));
    if (!pix)
        return {};
    l_uint32* data = pixGetData(pix.get());
    const int wordsPerLine = pixGetWpl(pix.get());
    for (int y = 0; y < grey.height(); ++y)
        std::memcpy(data + qsizetype(y) * wordsPerLine, grey.constScanLine(y), grey.width());
    pixEndianByteSwap(pix.get());
    return pix;
}

QImage fromPix(PIX* pix) {
    QImage grey(int(pixGetWidth(pix)), int(pixGetHeight(pix)), QImage::Format_Grayscale8);
    if (grey.isNull() || pixEndianByteSwap(pix) != 0)
        return {};
    const l_uint32* data = pixGetData(pix);
    const int wordsPerLine = pixGetWpl(pix);
    for (int y = 0; y < grey.height(); ++y)
        std::memcpy(grey.scanLine(y), data + qsizetype(y) * wordsPerLine, grey.width());
    return grey;
}

} // namespace

PageSkew findSkew(const QImage& grey) {
    // Lines are found as well on a page of 300 dpi as on one of 600: a larger picture is
    // halved first, which keeps the angle and quarters the work.
    const bool large = std::max(grey.width(), grey.height()) > SkewLongestSide;
    const PixPtr pix = toPix(large ? grey.scaled(grey.size() / 2) : grey);
    const PixPtr binary(pix ? pixConvertTo1(pix.get(), InkThreshold) : nullptr);
    float angle = 0;
    float confidence = 0;
    if (!binary || pixFindSkew(binary.get(), &angle, &confidence) != 0 ||
        confidence < MinimumSkewConfidence)
        return {};
    // Leptonica gives the turn that levels the page, clockwise on the picture.
    return {-double(angle), true};
}

StraightPicture turnLevel(const QImage& grey, double degrees) {
    const double radians = degrees * M_PI / 180;
    const double cosine = std::abs(std::cos(radians));
    const double sine = std::abs(std::sin(radians));
    const int width = grey.width();
    const int height = grey.height();
    const int turnedWidth = int(std::ceil(width * cosine + height * sine));
    const int turnedHeight = int(std::ceil(width * sine + height * cosine));
    const int left = (turnedWidth - width) / 2;
    const int top = (turnedHeight - height) / 2;
    const PixPtr pix = toPix(grey);
    const PixPtr canvas(pix ? pixAddBorderGeneral(pix.get(), left, turnedWidth - width - left, top,
                                                  turnedHeight - height - top, 255)
                            : nullptr);
    // Leptonica turns clockwise by a positive angle, about the canvas's centre pixel.
    const PixPtr turned(
        canvas ? pixRotate(canvas.get(), float(-radians), L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, 0, 0)
               : nullptr);
    if (!turned)
        return {grey, {}};
    const double centreX = turnedWidth / 2;
    const double centreY = turnedHeight / 2;
    const QTransform toTurned = QTransform::fromTranslate(left - centreX, top - centreY) *
                                QTransform().rotate(-degrees) *
                                QTransform::fromTranslate(centreX, centreY);
    return {fromPix(turned.get()), toTurned.inverted()};
}

StraightPicture preparePage(const QImage& grey) {
    // A page photographed at an angle is first seen square on, then turned level.
    StraightPicture flat{grey, {}};
    if (const PageOutline outline = findPageOutline(grey); outline.found) {
        FlatPage seen = flattenPage(grey, outline.corners);
        qCInfo(recognitionLog) << "the page is photographed at an angle; seen square on at"
                               << seen.picture.size();
        if (!seen.picture.isNull())
            flat = {std::move(seen.picture), seen.toOriginal};
    }
    const PageSkew skew = findSkew(flat.picture);
    qCInfo(recognitionLog) << "the page's lines are turned by" << skew.degrees << "degrees"
                           << (skew.found ? "" : "(not found)");
    if (!skew.found || std::abs(skew.degrees) < SmallestTurnDegrees)
        return flat;
    StraightPicture level = turnLevel(flat.picture, skew.degrees);
    if (level.picture.isNull())
        return flat;
    level.toOriginal = level.toOriginal * flat.toOriginal;
    return level;
}

bool lightIsUneven(const QImage& grey) {
    if (grey.width() < LightTiles || grey.height() < LightTiles)
        return false;
    const int tileWidth = grey.width() / LightTiles;
    const int tileHeight = grey.height() / LightTiles;
    int brightest = 0;
    int darkest = 255;
    for (int row = 0; row < LightTiles; ++row) {
        for (int column = 0; column < LightTiles; ++column) {
            // The paper's brightness: a level only a few pixels of the tile are brighter than.
            std::array<int, 256> counts{};
            int sampled = 0;
            for (int y = row * tileHeight; y < (row + 1) * tileHeight; y += LightSampleStep) {
                const uchar* line = grey.constScanLine(y);
                for (int x = column * tileWidth; x < (column + 1) * tileWidth;
                     x += LightSampleStep) {
                    ++counts[line[x]];
                    ++sampled;
                }
            }
            int paper = 255;
            for (int brighter = 0; paper > 0 && brighter + counts[paper] <= sampled / 20; --paper)
                brighter += counts[paper];
            brightest = std::max(brightest, paper);
            darkest = std::min(darkest, paper);
        }
    }
    return brightest - darkest > brightest / 5;
}

QImage levelPicture(const QImage& picture) {
    const PageSkew skew = findSkew(picture.convertToFormat(QImage::Format_Grayscale8));
    if (!skew.found || std::abs(skew.degrees) <= StoredLevelDegrees)
        return picture;
    const QTransform turn = QTransform().rotate(-skew.degrees);
    const QRect bounds = turn.mapRect(QRectF(picture.rect())).toAlignedRect();
    QImage level(bounds.size(), QImage::Format_RGB32);
    if (level.isNull())
        return picture;
    level.fill(Qt::white);
    level.setDotsPerMeterX(picture.dotsPerMeterX());
    level.setDotsPerMeterY(picture.dotsPerMeterY());
    QPainter painter(&level);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(-bounds.topLeft());
    painter.setTransform(turn, true);
    painter.drawImage(0, 0, picture);
    return level;
}

QRect mapToOriginal(const QRect& box, const QTransform& toOriginal, QSize original) {
    if (toOriginal.isIdentity())
        return box;
    const QRectF mapped = toOriginal.mapRect(QRectF(box.topLeft(), box.size()));
    return mapped.toAlignedRect().intersected(QRect(QPoint(0, 0), original));
}

} // namespace folimar::recognition
