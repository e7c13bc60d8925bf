#pragma once

#include <QRect>

namespace folimar::reader {

// Where the book window stands beside the reader window.
enum class Arrangement : int { Left = 0, Right = 1, Top = 2, Bottom = 3 };

// The two windows' default places for an arrangement on a screen of `screen` size: side
// by side, or one above the other, sharing 0.96 of the screen's height.
struct ArrangedWindows {
    QRect book;
    QRect reader;
};

ArrangedWindows ArrangeWindows(int arrangement, const QRect& screen);

// A length given in twips (1/1440 inch) in pixels at `logicalDpi`.
int TwipsToPixels(int twips, double logicalDpi);

} // namespace folimar::reader
