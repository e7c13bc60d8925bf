#pragma once

#include <QImage>
#include <QPointF>
#include <QTransform>
#include <array>

namespace folimar::recognition {

// The outline of a page photographed at an angle: its corners on the picture, in the order
// top left, top right, bottom right, bottom left (in picture coordinates, where pixel (x, y)
// covers x..x+1, y..y+1). Found only where the page is clearly brighter than what it lies
// on, lies wholly within the picture, and its edges are straight: a scanned page, which
// fills its picture, has none.
struct PageOutline {
    std::array<QPointF, 4> corners;
    bool found = false;
};

PageOutline findPageOutline(const QImage& grey);

// A grey page seen square on: the quadrilateral `corners` drawn onto an upright rectangle
// as long and as wide as its longest edges, and the way back from its pixels to those of
// the picture it was taken from.
struct FlatPage {
    QImage picture; // Format_Grayscale8; null when it could not be made
    QTransform toOriginal;
};

FlatPage flattenPage(const QImage& grey, const std::array<QPointF, 4>& corners);

} // namespace folimar::recognition
