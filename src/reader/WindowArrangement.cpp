#include "reader/WindowArrangement.h"

#include <cmath>

namespace folimar::reader {

ArrangedWindows ArrangeWindows(int arrangement, const QRect& screen) {
    const int w = screen.width();
    const int h = static_cast<int>(std::lround(screen.height() * 0.96));
    const int x = screen.x();
    const int y = screen.y();
    const QRect leftHalf(x, y, w / 2, h);
    const QRect rightHalf(x + w / 2, y, w - w / 2, h);
    const QRect topHalf(x, y, w, h / 2);
    const QRect bottomHalf(x, y + h / 2, w, h - h / 2);
    switch (static_cast<Arrangement>(arrangement)) {
    case Arrangement::Right:
        return {rightHalf, leftHalf};
    case Arrangement::Top:
        return {topHalf, bottomHalf};
    case Arrangement::Bottom:
        return {bottomHalf, topHalf};
    case Arrangement::Left:
        break;
    }
    return {leftHalf, rightHalf};
}

std::optional<QRect> DockedPartner(int arrangement, const QRect& screen, const QRect& reader,
                                   const QRect& partner) {
    const int usableHeight = static_cast<int>(std::lround(screen.height() * 0.96));
    QRect docked = partner;
    switch (arrangement) {
    case int(Arrangement::Left):
        docked.setWidth(screen.width() - reader.width());
        break;
    case int(Arrangement::Right):
        docked.setWidth(screen.width() - reader.width());
        docked.moveLeft(screen.x() + reader.width());
        break;
    case int(Arrangement::Top):
        docked.setHeight(usableHeight - reader.height());
        break;
    case int(Arrangement::Bottom):
        docked.setHeight(usableHeight - reader.height());
        docked.moveTop(screen.y() + reader.height());
        break;
    default:
        return std::nullopt;
    }
    if (docked.width() < 1 || docked.height() < 1)
        return std::nullopt; // the reader takes the whole screen: leave the book window be
    return docked;
}

QRect CentredOnScreen(const QRect& screen, double widthShare, double heightShare) {
    const int w = static_cast<int>(std::lround(screen.width() * widthShare));
    const int h = static_cast<int>(std::lround(screen.height() * heightShare));
    return {screen.x() + (screen.width() - w) / 2, screen.y() + (screen.height() - h) / 2, w, h};
}

int TwipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

} // namespace folimar::reader
