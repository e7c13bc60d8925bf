#pragma once

#include <QtGlobal>

namespace folimar::bookwindow {

// The page picture's geometry, in whatever unit the window measures itself in.
struct PictureState {
    qint32 PicWidth = 0;      // shown size; 0 (with PicHeight) when no picture is shown
    qint32 PicHeight = 0;
    qint32 PicFullWidth = 0;  // the picture's natural size, recorded when it was loaded
    qint32 PicFullHeight = 0;
    float HRatio = 0.0f;      // shown size over the visible area; above 1 needs a scroll bar
    float VRatio = 0.0f;
    bool PictureShown = false;
};

} // namespace folimar::bookwindow
