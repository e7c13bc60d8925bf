#pragma once

#include <QRect>

class QWidget;

namespace folimar::reader {

// A window of outer size `outer` centred in `area`, shrunk where it is larger, so it lies
// wholly within.
QRect CentredWithin(const QSize& outer, const QRect& area);

// A window of outer size `outer` beside the window whose frame is `neighbour`, top-aligned
// with it: to its right where there is room in `area`, else to its left, else as far right
// as `area` allows.
QRect BesideWithin(const QSize& outer, const QRect& neighbour, const QRect& area);

// Places `window`, at its size, beside `neighbour` on the screen that holds it.
void placeBeside(QWidget& window, const QWidget& neighbour);

// The width that shows the whole of `window`'s title, with room for the frame's buttons
// (a window manager cuts a longer title: "Folimar… c Stats").
int widthShowingTitle(const QWidget& window);

// Places `window`, at its size hint, wholly in the middle of the free area of the screen
// that holds `owner` (the window's parent when no owner is given; the main screen when it
// has neither).
void centreOnOwnersScreen(QWidget& window, const QWidget* owner = nullptr);

} // namespace folimar::reader
