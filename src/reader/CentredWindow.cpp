#include "reader/CentredWindow.h"

#include "reader/PendingPlacement.h"
#include "reader/SavedGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace folimar::reader {

QRect CentredWithin(const QSize& outer, const QRect& area) {
    QRect placed(QPoint(), outer.boundedTo(area.size()));
    placed.moveCenter(area.center());
    return placed;
}

void centreOnOwnersScreen(QWidget& window, const QWidget* owner) {
    if (!owner)
        owner = window.parentWidget();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window.adjustSize();
    PlaceWindow(window,
                CentredWithin(window.size() + FrameExtra(window), screen->availableGeometry()));
}

} // namespace folimar::reader
