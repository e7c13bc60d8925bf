#pragma once

#include <QSizeF>
#include <QtGlobal>

namespace folimar::import {

// The pixels all the import's workers together may draw PDF pages with at one time (about
// 320 MB of pictures), shared out among them.
inline constexpr qint64 ImportPagePixels = 80'000'000;

// The resolution at which a page of `points` (1/72 inch) is drawn: `dpi`, or less for a page
// whose picture would have more than `maxPixels` pixels. 0 for a page without area, or one
// so large that even a picture of a few pixels per inch would not fit.
double boundedDpi(const QSizeF& points, double dpi, qint64 maxPixels);

} // namespace folimar::import
