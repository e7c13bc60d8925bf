#include "bookwindow/PreparedPicture.h"

#include "bookwindow/JpegDecoder.h"

#include <QtConcurrent/QtConcurrentRun>

namespace folimar::bookwindow {

void PreparedPicture::prepare(QByteArray jpeg, QSize size) {
    clear();
    jpeg_ = jpeg;
    size_ = size;
    drawing_ = QtConcurrent::run(
        [jpeg = std::move(jpeg), size] { return JpegDecoder().decode(jpeg, size); });
}

QFuture<QImage> PreparedPicture::take(const QByteArray& jpeg, QSize size) {
    if (!drawing_.isValid() || size != size_ || jpeg != jpeg_)
        return {};
    QFuture<QImage> drawing = std::move(drawing_);
    clear();
    return drawing;
}

// A drawing under way is left to finish on its own: it holds copies, not this object.
void PreparedPicture::clear() {
    drawing_ = {};
    jpeg_.clear();
    size_ = {};
}

} // namespace folimar::bookwindow
