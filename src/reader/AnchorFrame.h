#pragma once

#include <QRect>

namespace folimar::reader {

// The window the character is placed beside by the "Auto" placement: its frame geometry
// in pixels and the logical DPI of its screen.
struct AnchorFrame {
    QRect geometry;
    qreal logicalDpi = 96.0;
};

} // namespace folimar::reader
