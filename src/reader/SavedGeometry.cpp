#include "reader/SavedGeometry.h"

#include "reader/PendingPlacement.h"

#include <QRect>
#include <QWidget>
#include <QWindow>

namespace folimar::reader {

namespace {
qint16 clamp16(int value) {
    return static_cast<qint16>(qBound<int>(-32768, value, 32767));
}
} // namespace

// A window still waiting to be placed by its frame stands, as far as its partner and the
// settings are concerned, where it is meant to go.
QRect OuterGeometry(const QWidget& window) {
    const auto* pending =
        window.findChild<PendingPlacement*>(QString(), Qt::FindDirectChildrenOnly);
    return pending ? pending->outer().value_or(window.frameGeometry()) : window.frameGeometry();
}

void PlaceWindow(QWidget& window, const QRect& outer) {
    PlaceByKnownFrame(window, outer);
    if (auto* pending = window.findChild<PendingPlacement*>(QString(), Qt::FindDirectChildrenOnly))
        pending->setOuter(outer);
    else if (!window.windowHandle() || !window.windowHandle()->isExposed())
        new PendingPlacement(window, outer);
}

SavedGeometry SavedGeometry::of(const QWidget& window) {
    // The normal geometry, so a maximised window comes back to its normal place too.
    const bool normalState = !(window.isMaximized() || window.isMinimized());
    const QRect normal = normalState ? OuterGeometry(window)
                                     : QRect(window.normalGeometry().topLeft(),
                                             window.normalGeometry().size() + FrameExtra(window));
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
