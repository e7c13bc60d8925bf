#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QSize>

namespace folimar::bookwindow {

using Turn = QImageIOHandler::Transformations;

// The turn that sets an encoded picture upright, as its EXIF block says (a phone's photo);
// none for a picture without one. Only the picture's header is read.
Turn uprightTurn(const QByteArray& encoded);

// A picture's size once turned: a quarter turn swaps its sides. Turning back is the same.
QSize turnedSize(QSize size, Turn turn);

// `image` turned: mirrored and flipped first, then a quarter turn clockwise, the order the
// EXIF orientations are defined in.
QImage turned(QImage image, Turn turn);

} // namespace folimar::bookwindow
