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

int TwipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

} // namespace folimar::reader
