#pragma once

#include <QByteArray>
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

// A picture on the clipboard, not yet decoded: the encoded bytes another program offers,
// or the picture this program put there. Both empty when there is none.
struct ClipboardOffer {
    QByteArray bytes;
    QImage image;
};

ClipboardOffer clipboardOffer(const QMimeData& clipboard);

// The offered picture: encoded bytes are read as a file is (their orientation honoured,
// their size checked before decoding); a picture put there by this program is taken as it is.
PictureRead offeredPicture(const ClipboardOffer& offer);

// Whether the offer is a JPEG that fits the picture memory: one that can be shown drawn
// straight from its bytes at the size it is shown (turned upright as its EXIF block says),
// before it is decoded whole.
bool showsFromBytes(const ClipboardOffer& offer);

} // namespace folimar::pictures
