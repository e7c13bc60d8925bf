#include "reader/SavedGeometry.h"

#include <QRect>
#include <QWidget>

namespace folimar::reader {

namespace {
qint16 clamp16(int value) {
    return static_cast<qint16>(qBound<int>(-32768, value, 32767));
}

// The frame's extra size; nothing is known of it before the window is first shown.
QSize frameExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.geometry().size();
}
} // namespace

QRect OuterGeometry(const QWidget& window) {
    return window.frameGeometry();
}

void PlaceWindow(QWidget& window, const QRect& outer) {
    window.resize((outer.size() - frameExtra(window)).expandedTo(QSize(1, 1)));
    window.move(outer.topLeft());
}

SavedGeometry SavedGeometry::of(const QWidget& window) {
    // The normal geometry, so a maximised window comes back to its normal place too.
    const bool normalState = !(window.isMaximized() || window.isMinimized());
    const QRect normal = normalState ? OuterGeometry(window)
                                     : QRect(window.normalGeometry().topLeft(),
                                             window.normalGeometry().size() + frameExtra(window));
    const qint16 state = window.isMinimized() ? 1 : window.isMaximized() ? 2 : 0;
    return {clamp16(normal.x()), clamp16(normal.y()), clamp16(normal.width()),
            clamp16(normal.height()), state};
}

bool SavedGeometry::restore(QWidget& window) const {
    if (width == 0)
        return false;
    PlaceWindow(window, QRect(left, top, width, qMax<int>(height, 1)));
    if (state == 2)
        window.setWindowState(Qt::WindowMaximized);
    else if (state == 1)
        window.setWindowState(Qt::WindowMinimized);
    return true;
}

} // namespace folimar::reader
