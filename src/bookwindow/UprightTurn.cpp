#include "bookwindow/UprightTurn.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>

namespace folimar::bookwindow {

Turn uprightTurn(const QByteArray& encoded) {
    QByteArray bytes = encoded; // shared; the buffer reads it without copying
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).transformation();
}

QSize turnedSize(QSize size, Turn turn) {
    return turn.testFlag(QImageIOHandler::TransformationRotate90) ? size.transposed() : size;
}

QImage turned(QImage image, Turn turn) {
    if (turn == QImageIOHandler::TransformationNone || image.isNull())
        return image;
    image = std::move(image).mirrored(turn.testFlag(QImageIOHandler::TransformationMirror),
                                      turn.testFlag(QImageIOHandler::TransformationFlip));
    if (turn.testFlag(QImageIOHandler::TransformationRotate90))
        image = image.transformed(QTransform().rotate(90));
    return image;
}

} // namespace folimar::bookwindow
