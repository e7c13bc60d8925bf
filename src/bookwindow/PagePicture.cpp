#include "bookwindow/PagePicture.h"

#include "bookwindow/JpegDecoder.h"
#include "bookwindow/UprightTurn.h"
#include "pictures/PictureMemory.h"

#include <QBuffer>
#include <QImageReader>

namespace folimar::bookwindow {

namespace {

// Pictures that are not JPEG (older books stored PNG or BMP), and CMYK JPEGs, go through
// Qt's image readers. A JPEG the fast decoder refuses is not given to them to try again.
QImage readScaled(QByteArray bytes, QSize natural, QSize size) {
    QBuffer buffer(&bytes); // shares the data; QBuffer reads it without copying
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (size != natural) // scaled as stored, then turned
        reader.setScaledSize(turnedSize(size, reader.transformation()));
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return {};
    return image;
}

} // namespace

void PagePicture::clear() {
    encoded_.clear();
    image_ = QImage();
    natural_ = QSize();
    jpeg_ = false;
}

bool PagePicture::load(QByteArray bytes) {
    clear();
    // Qt's JPEG reader would set aside the same full-size buffers: refused here for both.
    if (!JpegDecoder::fitsMemory(bytes))
        return false;
    QSize size = JpegDecoder().size(bytes);
    const bool jpeg = !size.isEmpty();
    if (!jpeg) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        size = turnedSize(reader.size(), reader.transformation());
        // Its readers set aside the whole picture however small it is shown.
        if (!reader.canRead() || size.isEmpty() || !pictures::fitsPictureMemory(size))
            return false;
    }
    encoded_ = std::move(bytes);
    natural_ = size;
    jpeg_ = jpeg;
    return true;
}

void PagePicture::setImage(QImage image) {
    clear();
    natural_ = image.size();
    image_ = std::move(image);
}

QImage PagePicture::render(QSize size) const {
    if (isEmpty() || size.isEmpty())
        return {};
    if (!image_.isNull())
        return size == natural_
                   ? image_
                   : image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (jpeg_)
        return JpegDecoder().decode(encoded_, size);
    return readScaled(encoded_, natural_, size);
}

} // namespace folimar::bookwindow
