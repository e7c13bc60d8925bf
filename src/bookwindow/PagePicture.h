#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace folimar::bookwindow {

// The picture behind the book window's page: a topic's stored picture file (or a JPEG
// pasted from another program), kept as its bytes and decoded at the size it is shown, or
// a pasted picture held decoded in memory. A picture is upright as its EXIF block says.
class PagePicture {
public:
    void clear();
    // Takes a picture's encoded bytes; false (and empty) when they are not a picture whose
    // size can be read.
    bool load(QByteArray bytes);
    void setImage(QImage image);

    bool isEmpty() const { return natural_.isEmpty(); }
    // The picture's encoded bytes; empty for a picture held decoded.
    const QByteArray& bytes() const { return encoded_; }
    QSize naturalSize() const { return natural_; }

    // The picture at `size`. A stored picture is decoded straight to that size (a JPEG
    // by the decoder's own scaling), never at full size first. Null when it cannot be
    // decoded.
    QImage render(QSize size) const;

private:
    QByteArray encoded_;
    QImage image_;
    QSize natural_;
    bool jpeg_ = false;
};

} // namespace folimar::bookwindow
