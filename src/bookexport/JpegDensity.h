#pragma once

#include <QByteArray>
#include <QPointF>
#include <optional>

namespace folimar::bookexport {

// Dots per inch of a picture that does not say how many it has: what Qt takes for one.
constexpr double UnstatedDotsPerInch = 96.0;

// Whether the bytes begin as a JPEG file does.
bool isJpeg(const QByteArray& bytes);

// The horizontal and vertical dots per inch a JPEG states in its JFIF header, or
// UnstatedDotsPerInch for those it leaves out (no header, a bare aspect ratio, zeros).
QPointF jpegDotsPerInch(const QByteArray& jpeg);

// The picture's size and colours, as its frame header states them.
struct JpegFrame {
    int width = 0;
    int height = 0;
    int components = 0; // 1 grey, 3 colour, 4 printing inks
};

// The frame of a JPEG of eight bits a colour, from the markers before its data; none when
// the bytes are no such JPEG or its header is cut short.
std::optional<JpegFrame> jpegFrame(const QByteArray& jpeg);

// How many bytes of a JPEG come before its picture's data: its markers up to and with the
// header of its first scan; -1 when the bytes end before that or are no JPEG.
qsizetype jpegHeaderSize(const QByteArray& jpeg);

} // namespace folimar::bookexport
