#include "pictures/PictureMemory.h"

#include <QImageReader>
#include <mutex>

namespace folimar::pictures {

namespace {

QString megabytes(qint64 bytes) {
    const double mb = double(bytes) / 1e6;
    return mb >= 1000 ? QStringLiteral("%1 GB").arg(mb / 1000, 0, 'f', 1)
                      : QStringLiteral("%1 MB").arg(qRound64(mb));
}

} // namespace

qint64 pictureBytes(QSize size) {
    return qint64(std::max(size.width(), 0)) * std::max(size.height(), 0) * 4;
}

bool fitsPictureMemory(QSize size) {
    return pictureBytes(size) <= PictureMemoryLimit;
}

void allowPagePictures() {
    static std::once_flag allowed;
    std::call_once(allowed, [] {
        const int limitMegabytes = int((PictureMemoryLimit + (1 << 20) - 1) >> 20); // Qt counts MiB
        const int current = QImageReader::allocationLimit();
        if (current > 0 && current < limitMegabytes)
            QImageReader::setAllocationLimit(limitMegabytes);
    });
}

QString tooLargeReason(QSize size) {
    return QStringLiteral("it is %1 × %2 pixels and would take %3 of memory, more than the %4 "
                          "a page picture may take")
        .arg(size.width())
        .arg(size.height())
        .arg(megabytes(pictureBytes(size)), megabytes(PictureMemoryLimit));
}

} // namespace folimar::pictures
