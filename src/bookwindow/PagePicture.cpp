#include "bookwindow/PagePicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace folimar::bookwindow {

void PagePicture::clear() {
    encoded_.clear();
    image_ = QImage();
    natural_ = QSize();
}

bool PagePicture::loadFile(const QString& path) {
    clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || size.isEmpty())
        return false;
    encoded_ = std::move(bytes);
    natural_ = size;
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
        return size == natural_ ? image_
                                : image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray bytes = encoded_; // shares the data; QBuffer reads it without copying
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (size != natural_)
        reader.setScaledSize(size);
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return {};
    return image;
}

} // namespace folimar::bookwindow
