#pragma once

#include <QRect>

namespace folimar::reader {

// The window the character is placed beside by the "Auto" placement: its frame geometry
// in pixels, the logical DPI of its screen, and the screen's free area, inside which the
// character is kept whole (an empty area keeps the computed place).
struct AnchorFrame {
    QRect geometry;
    qreal logicalDpi = 96.0;
    QRect screenArea;
};

} // namespace folimar::reader
