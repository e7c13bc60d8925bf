#pragma once

#include <QtGlobal>

class QWidget;

namespace folimar::reader {

// A window's place as the settings keep it: pixels and the window state
// (0 normal, 1 minimised, 2 maximised).
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
