#pragma once

#include <QRect>

class QWidget;

namespace folimar::reader {

// A window of outer size `outer` centred in `area`, shrunk where it is larger, so it lies
// wholly within.
QRect CentredWithin(const QSize& outer, const QRect& area);

// Places `window`, at its size hint, wholly in the middle of the free area of the screen
// that holds `owner` (the window's parent when no owner is given; the main screen when it
// has neither).
void centreOnOwnersScreen(QWidget& window, const QWidget* owner = nullptr);

} // namespace folimar::reader
