#include "reader/SavedGeometry.h"

#include <QWidget>

namespace folimar::reader {

namespace {
qint16 clamp16(int value) {
    return static_cast<qint16>(qBound<int>(-32768, value, 32767));
}
} // namespace

SavedGeometry SavedGeometry::of(const QWidget& window) {
    // The normal geometry, so a maximised window comes back to its normal place too.
    const QRect normal =
        window.isMaximized() || window.isMinimized() ? window.normalGeometry() : window.geometry();
    const qint16 state = window.isMinimized() ? 1 : window.isMaximized() ? 2 : 0;
    return {clamp16(normal.x()), clamp16(normal.y()), clamp16(normal.width()),
            clamp16(normal.height()), state};
}

bool SavedGeometry::restore(QWidget& window) const {
    if (width == 0)
        return false;
    window.setGeometry(left, top, width, qMax<int>(height, 1));
    if (state == 2)
        window.setWindowState(Qt::WindowMaximized);
    else if (state == 1)
        window.setWindowState(Qt::WindowMinimized);
    return true;
}

} // namespace folimar::reader
