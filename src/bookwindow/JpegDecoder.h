#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <memory>

namespace folimar::bookwindow {

// Decodes JPEG bytes through libjpeg-turbo, shrinking by the decoder's own DCT scaling
// before one smooth scale to the exact size, so a large scanned page is never decoded at
// full size to be shown small. A picture is turned upright as its EXIF block says (a
// phone's photo): its size is the upright one.
class JpegDecoder {
public:
    JpegDecoder();
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Whether decoding the picture at any size stays within the memory pictures may take
    // (Qt's image allocation limit), counting what the decoder sets aside at full size.
    static bool fitsMemory(const QByteArray& jpeg);
    // The picture's natural size; empty when the bytes do not start a JPEG that this decoder
    // turns into RGB (CMYK pictures are left to Qt's reader).
    QSize size(const QByteArray& jpeg);
    // The picture at exactly `size`; null when it cannot be decoded (not a JPEG, a colour
    // model the decoder does not convert, broken data, too large to decode, or so many
    // progressive scans that decoding them would take minutes).
    QImage decode(const QByteArray& jpeg, QSize size);

private:
    QSize storedSize(const QByteArray& jpeg); // as the frame holds it, before any turn

    struct HandleDeleter {
        void operator()(void* handle) const;
    };
    std::unique_ptr<void, HandleDeleter> handle_;
};

} // namespace folimar::bookwindow
