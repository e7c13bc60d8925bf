#pragma once

#include <QImage>
#include <QString>

class QIODevice;
class QMimeData;

namespace folimar::pictures {

// A picture read for a page, or why not: `refusal` ends a sentence ("it is damaged or is
// not a picture"); both empty when there was nothing to read.
struct PictureRead {
    QImage image;
    QString refusal;
};

// Reads picture `index` of a file or buffer, turned upright as its EXIF orientation says.
// A JPEG too large for the picture memory is decoded at half or a quarter of its size
// (by the decoder's own scaling); any other picture too large is refused with the reason.
PictureRead readPicture(QIODevice& device, int index = 0);

// The picture on the clipboard: a picture another program offers as encoded bytes is read
// as a file is (its orientation honoured, its size checked before decoding); one put there
// by this program is taken as it is.
PictureRead clipboardPicture(const QMimeData& clipboard);

} // namespace folimar::pictures
