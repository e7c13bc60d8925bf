#include "reader/CentredWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace folimar::reader {

void centreOnScreen(QWidget& window) {
    window.adjustSize();
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace folimar::reader
