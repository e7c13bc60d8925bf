#pragma once

#include <QtGlobal>

class QRect;
class QWidget;

namespace folimar::reader {

// Window places are outer places: the frame with its title bar, as the arrangements and
// the settings give them. Placing a window by its inner geometry would push its title bar
// off the top of the screen.
QRect OuterGeometry(const QWidget& window);
void PlaceWindow(QWidget& window, const QRect& outer);

// A window's place as the settings keep it: pixels (outer position and size) and the
// window state (0 normal, 1 minimised, 2 maximised).
struct SavedGeometry {
    qint16 left = 0;
    qint16 top = 0;
    qint16 width = 0;
    qint16 height = 0;
    qint16 state = 0;

    static SavedGeometry of(const QWidget& window);
    // Puts the window there; false (window untouched) when no width was saved.
    bool restore(QWidget& window) const;
};

} // namespace folimar::reader
