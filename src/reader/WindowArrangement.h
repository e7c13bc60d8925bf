#pragma once

#include <QRect>
#include <optional>

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

// Where the book window goes when the user resizes the reader window (`reader`) while
// the two share the screen: it takes the rest of the screen's width (arrangements 0, 1) or
// of 0.96 of its height (2, 3), keeping its other side. None for an unknown arrangement.
std::optional<QRect> DockedPartner(int arrangement, const QRect& screen, const QRect& reader,
                                   const QRect& partner);

// A window of the given shares of the screen's width and height, centred on it.
QRect CentredOnScreen(const QRect& screen, double widthShare, double heightShare);

// A length given in twips (1/1440 inch) in pixels at `logicalDpi`.
int TwipsToPixels(int twips, double logicalDpi);

} // namespace folimar::reader
