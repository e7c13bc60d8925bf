#pragma once

#include <QImage>
#include <QRect>
#include <QTransform>

namespace folimar::recognition {

// How far a page's lines are turned from level: clockwise on the picture in degrees
// (a page whose lines fall to the right is turned by a positive angle). Not found on a
// page without enough lines of text to tell, or turned more than 7 degrees.
struct PageSkew {
    double degrees = 0;
    bool found = false;
};

// A grey picture turned level, and the way back from its pixels to those of the picture
// it was made from.
struct StraightPicture {
    QImage picture; // Format_Grayscale8
    QTransform toOriginal;
};

// Finds the turn of the lines of text on a grey picture (Leptonica's skew finder, on the
// picture made black and white).
PageSkew findSkew(const QImage& grey);

// The grey picture turned by `degrees` counter-clockwise (so a page turned by that much
// comes out level), on a canvas large enough to lose nothing, its corners white.
StraightPicture turnLevel(const QImage& grey, double degrees);

// The picture a page is read from: a page photographed at an angle seen square on where
// its outline is found; then level when its skew is found (and more than a tenth of a
// degree).
StraightPicture preparePage(const QImage& grey);

// Whether the light falls unevenly on a grey page (a photo, a page held up to a lamp): the
// paper's brightness, measured in a grid of tiles, differs by more than a fifth between the
// brightest and the darkest tile. One threshold for black and white fails such a page.
bool lightIsUneven(const QImage& grey);

// A pasted picture as it is to be stored: turned level, on a canvas that loses nothing of
// it with white corners, when its lines are turned by more than 0.2 degrees; else as it came.
QImage levelPicture(const QImage& picture);

// A box on the prepared picture, as a box on the original one (the smallest upright box
// that holds it, kept within the picture).
QRect mapToOriginal(const QRect& box, const QTransform& toOriginal, QSize original);

} // namespace folimar::recognition
