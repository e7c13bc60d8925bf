#pragma once

#include "bookwindow/PictureState.h"

#include <QSize>

// The arithmetic of fitting, zooming and scrolling the page picture. Sizes are in one unit
// throughout (the window uses pixels), so a test can use any.
namespace folimar::bookwindow {

struct ScrollBarRange {
    bool shown = false;
    int maximum = 0;
};

struct ScrollRanges {
    ScrollBarRange horizontal;
    ScrollBarRange vertical;
};

// How small a zoom-out and how large a zoom-in may make the picture, per side.
struct ZoomLimits {
    int minimumSide = 100;
    int maximumSide = 16000;
};

// A float or double to a 32-bit integer: to the nearest, ties to even, clamped.
qint32 RoundToInt32(double value);

// HRatio and VRatio against the visible area, and the scroll bars they call for: a bar
// shows when its ratio is above 1, its maximum being ten times the ratio. An area of
// no size counts as one unit.
ScrollRanges UpdateRatios(PictureState& picture, QSize visible);

// The picture was loaded at `natural` size: it is shown at that size.
void LoadNaturalSize(PictureState& picture, QSize natural);

// Shrinks the shown size, keeping its proportions, until neither side exceeds `maximumSide`.
void CapShownSize(PictureState& picture, int maximumSide);

// Fits the picture to the window's inner size. Zoom 0 ("Window") scales it to the full
// width first; then a picture that does not fit strictly inside is shrunk, keeping its
// proportions, first to the width and then to the height.
void FitPicture(PictureState& picture, int defaultZoom, QSize window);

// The zoom commands; each returns false, changing nothing, when there is no picture or the
// step is refused (zoom-out below the minimum, zoom-in at the maximum).
bool ZoomNatural(PictureState& picture, const ZoomLimits& limits);
bool ZoomWindowWidth(PictureState& picture, QSize window, const ZoomLimits& limits);
bool ZoomOut(PictureState& picture, const ZoomLimits& limits);
bool ZoomIn(PictureState& picture, const ZoomLimits& limits);

// Where the picture's edge goes for a scroll bar at `value`: the bar's range is ten times
// the ratio and `divisor` (9 across, 8 down) spreads it over the part that is hidden, so
// the last positions carry the picture a little past its far edge.
int ScrollOffset(int value, float ratio, int divisor, int pictureExtent, int visibleExtent);
// The scroll bar value that puts the picture's edge nearest to `offset` (0 or less).
int ScrollValueFor(int offset, float ratio, int divisor, int pictureExtent, int visibleExtent);

} // namespace folimar::bookwindow
