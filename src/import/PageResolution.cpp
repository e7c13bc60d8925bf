#include "import/PageResolution.h"

#include <cmath>

namespace folimar::import {

namespace {

// Below this a page's picture is of no use to read or to recognise.
constexpr double LeastDpi = 10;

} // namespace

double boundedDpi(const QSizeF& points, double dpi, qint64 maxPixels) {
    if (!(points.width() > 0 && points.height() > 0))
        return 0;
    const double pixels = points.width() * dpi / 72 * (points.height() * dpi / 72);
    if (pixels <= double(maxPixels))
        return dpi;
    double bounded = dpi * std::sqrt(double(maxPixels) / pixels);
    // The picture's sides are whole pixels, rounded up: a little less keeps them within.
    const auto drawn = [&](double at) {
        return std::ceil(points.width() * at / 72) * std::ceil(points.height() * at / 72);
    };
    while (bounded >= LeastDpi && drawn(bounded) > double(maxPixels))
        bounded *= 0.999;
    return bounded >= LeastDpi ? bounded : 0;
}

} // namespace folimar::import
