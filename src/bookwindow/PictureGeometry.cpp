#include "bookwindow/PictureGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace folimar::bookwindow {

namespace {

constexpr double ZoomStep = 1.5;
constexpr int BarMaximum = 32767; // a scroll bar's range is a 16-bit integer

bool hasPicture(const PictureState& picture) {
    return picture.PicWidth != 0 && picture.PicHeight != 0 && picture.PicFullWidth > 0 &&
           picture.PicFullHeight > 0;
}

ScrollBarRange rangeFor(float ratio) {
    if (!(ratio > 1.0f))
        return {};
    return {true, std::clamp<qint32>(RoundToInt32(double(ratio) * 10.0), 0, BarMaximum)};
}

// The other side of a picture whose side `side` is scaled to `target`.
qint32 proportional(double target, qint32 side, qint32 otherSide) {
    return std::max<qint32>(RoundToInt32(target / side * otherSide), 1);
}

} // namespace

qint32 RoundToInt32(double value) {
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value); // the default mode rounds ties to even
    return qint32(std::clamp(rounded, double(std::numeric_limits<qint32>::min()),
                             double(std::numeric_limits<qint32>::max())));
}

ScrollRanges UpdateRatios(PictureState& picture, QSize visible) {
    picture.HRatio = float(double(picture.PicWidth) / std::max(visible.width(), 1));
    picture.VRatio = float(double(picture.PicHeight) / std::max(visible.height(), 1));
    return {rangeFor(picture.HRatio), rangeFor(picture.VRatio)};
}

void LoadNaturalSize(PictureState& picture, QSize natural) {
    picture.PicWidth = picture.PicFullWidth = std::max(natural.width(), 0);
    picture.PicHeight = picture.PicFullHeight = std::max(natural.height(), 0);
}

void CapShownSize(PictureState& picture, int maximumSide) {
    const qint32 longest = std::max(picture.PicWidth, picture.PicHeight);
    if (longest <= maximumSide || maximumSide <= 0)
        return;
    const double factor = double(maximumSide) / longest;
    picture.PicWidth = std::clamp(RoundToInt32(picture.PicWidth * factor), 1, maximumSide);
    picture.PicHeight = std::clamp(RoundToInt32(picture.PicHeight * factor), 1, maximumSide);
}

void FitPicture(PictureState& picture, int defaultZoom, QSize window) {
    if (picture.PicFullWidth <= 0 || picture.PicFullHeight <= 0)
        return;
    // A window too small to have an inside still shows a picture of at least one unit.
    const qint32 width = std::max(window.width(), 1);
    const qint32 height = std::max(window.height(), 1);
    const qint32 fullWidth = picture.PicFullWidth;
    const qint32 fullHeight = picture.PicFullHeight;
    if (defaultZoom == 0) {
        picture.PicWidth = width;
        picture.PicHeight = proportional(width, fullWidth, fullHeight);
    }
    if (picture.PicWidth < width && picture.PicHeight < height)
        return;
    if (width < picture.PicWidth) {
        picture.PicWidth = width;
        picture.PicHeight = proportional(width, fullWidth, fullHeight);
    }
    if (height < picture.PicHeight) {
        picture.PicHeight = height;
        picture.PicWidth = proportional(height, fullHeight, fullWidth);
    }
}

bool ZoomNatural(PictureState& picture, const ZoomLimits& limits) {
    if (!hasPicture(picture))
        return false;
    picture.PicWidth = picture.PicFullWidth;
    picture.PicHeight = picture.PicFullHeight;
    CapShownSize(picture, limits.maximumSide);
    return true;
}

bool ZoomWindowWidth(PictureState& picture, QSize window, const ZoomLimits& limits) {
    if (!hasPicture(picture))
        return false;
    const qint32 width = std::max(window.width(), 1);
    const float factor = float(width) / float(picture.PicFullWidth);
    picture.PicWidth = width;
    picture.PicHeight = std::max<qint32>(RoundToInt32(double(factor) * picture.PicFullHeight), 1);
    CapShownSize(picture, limits.maximumSide);
    return true;
}

bool ZoomOut(PictureState& picture, const ZoomLimits& limits) {
    if (!hasPicture(picture))
        return false;
    const qint32 width = RoundToInt32(picture.PicWidth / ZoomStep);
    const qint32 height = RoundToInt32(picture.PicHeight / ZoomStep);
    if (width < limits.minimumSide || height < limits.minimumSide)
        return false;
    picture.PicWidth = width;
    picture.PicHeight = height;
    return true;
}

bool ZoomIn(PictureState& picture, const ZoomLimits& limits) {
    if (!hasPicture(picture))
        return false;
    // One step of 1.5, or less where that would take a side past the maximum.
    const qint32 longest = std::max(picture.PicWidth, picture.PicHeight);
    const double factor = std::min(ZoomStep, double(limits.maximumSide) / longest);
    if (factor <= 1.0)
        return false;
    picture.PicWidth = std::min(RoundToInt32(picture.PicWidth * factor), limits.maximumSide);
    picture.PicHeight = std::min(RoundToInt32(picture.PicHeight * factor), limits.maximumSide);
    return true;
}

int ScrollOffset(int value, float ratio, int divisor, int pictureExtent, int visibleExtent) {
    if (!(ratio > 0.0f) || divisor == 0)
        return 0;
    return RoundToInt32(-double(value) / (double(ratio) * divisor) *
                        (double(pictureExtent) - visibleExtent));
}

int ScrollValueFor(int offset, float ratio, int divisor, int pictureExtent, int visibleExtent) {
    const int hidden = pictureExtent - visibleExtent;
    if (!(ratio > 0.0f) || hidden <= 0)
        return 0;
    return std::max(0, RoundToInt32(-double(offset) * double(ratio) * divisor / hidden));
}

} // namespace folimar::bookwindow
