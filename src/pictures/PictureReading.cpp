#include "pictures/PictureReading.h"

#include "pictures/PictureMemory.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>

namespace folimar::pictures {

namespace {

// A 200-megapixel phone photo fits once halved; beyond a quarter the picture is refused.
constexpr int LargestShrink = 4;

const QString CannotRead = QStringLiteral("it is damaged or is not a picture");

// The size to decode a picture of `size` at; empty when no shrinking the reader can do
// makes it fit.
QSize decodedSize(const QByteArray& format, QSize size) {
    if (fitsPictureMemory(size))
        return size;
    if (format != "jpeg")
        return {};
    for (int shrink = 2; shrink <= LargestShrink; shrink *= 2) {
        const QSize smaller((size.width() + shrink - 1) / shrink,
                            (size.height() + shrink - 1) / shrink);
        if (fitsPictureMemory(smaller))
            return smaller;
    }
    return {};
}

} // namespace

PictureRead readPicture(QIODevice& device, int index) {
    allowPagePictures();
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    if (index > 0 && !reader.jumpToImage(index))
        return {{}, CannotRead};
    const QSize size = reader.size();
    if (size.isValid()) {
        const QSize decoded = decodedSize(reader.format(), size);
        if (decoded.isEmpty())
            return {{}, tooLargeReason(size)};
        if (decoded != size)
            reader.setScaledSize(decoded);
    }
    QImage image;
    if (!reader.read(&image))
        return {{}, CannotRead};
    if (!fitsPictureMemory(image.size()))
        return {{}, tooLargeReason(image.size())};
    return {std::move(image), {}};
}

ClipboardOffer clipboardOffer(const QMimeData& clipboard) {
    const QStringList formats = clipboard.formats();
    // Put there by this program: a picture already decoded, which encoding would only slow.
    if (!formats.contains(QLatin1String("application/x-qt-image"))) {
        const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
        for (const QString& format : formats) {
            if (format.startsWith(QLatin1String("image/")) && readable.contains(format.toLatin1()))
                return {clipboard.data(format), {}};
        }
    }
    if (!clipboard.hasImage())
        return {};
    allowPagePictures();
    return {{}, qvariant_cast<QImage>(clipboard.imageData())};
}

PictureRead offeredPicture(const ClipboardOffer& offer) {
    if (!offer.bytes.isEmpty()) {
        QByteArray bytes = offer.bytes; // shared; the buffer reads it without copying
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return readPicture(buffer);
    }
    if (offer.image.isNull())
        return {};
    if (!fitsPictureMemory(offer.image.size()))
        return {{}, tooLargeReason(offer.image.size())};
    return {offer.image, {}};
}

bool showsFromBytes(const ClipboardOffer& offer) {
    QByteArray bytes = offer.bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    return reader.format() == "jpeg" && size.isValid() && fitsPictureMemory(size);
}

} // namespace folimar::pictures
