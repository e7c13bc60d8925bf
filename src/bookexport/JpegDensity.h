#pragma once

#include <QByteArray>
#include <QPointF>

namespace folimar::bookexport {

// Dots per inch of a picture that does not say how many it has: what Qt takes for one.
constexpr double UnstatedDotsPerInch = 96.0;

// Whether the bytes begin as a JPEG file does.
bool isJpeg(const QByteArray& bytes);

// The horizontal and vertical dots per inch a JPEG states in its JFIF header, or
// UnstatedDotsPerInch for those it leaves out (no header, a bare aspect ratio, zeros).
QPointF jpegDotsPerInch(const QByteArray& jpeg);

} // namespace folimar::bookexport
