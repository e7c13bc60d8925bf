#include "reader/CentredWindow.h"

#include "reader/PendingPlacement.h"
#include "reader/SavedGeometry.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace folimar::reader {

QRect CentredWithin(const QSize& outer, const QRect& area) {
    QRect placed(QPoint(), outer.boundedTo(area.size()));
    placed.moveCenter(area.center());
    return placed;
}

QRect BesideWithin(const QSize& outer, const QRect& neighbour, const QRect& area) {
    QRect placed(QPoint(), outer.boundedTo(area.size()));
    placed.moveTop(std::clamp(neighbour.top(), area.top(), area.bottom() - placed.height() + 1));
    if (neighbour.right() + placed.width() <= area.right())
        placed.moveLeft(neighbour.right() + 1);
    else if (neighbour.left() - placed.width() >= area.left())
        placed.moveRight(neighbour.left() - 1);
    else
        placed.moveRight(area.right());
    return placed;
}

void placeBeside(QWidget& window, const QWidget& neighbour) {
    const QScreen* screen = neighbour.screen();
    if (!screen)
        return;
    PlaceWindow(window, BesideWithin(window.size() + FrameExtra(window), neighbour.frameGeometry(),
                                     screen->availableGeometry()));
}

int widthShowingTitle(const QWidget& window) {
    QFont titleFont = window.font();
    titleFont.setBold(true);
    constexpr int FrameButtons = 110;
    return QFontMetrics(titleFont).horizontalAdvance(window.windowTitle()) + FrameButtons;
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
