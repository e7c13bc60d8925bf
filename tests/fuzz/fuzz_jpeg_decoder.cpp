// Page pictures: any bytes as a stored picture, sized and decoded small, as a page shows it.
#include "FuzzApplication.h"
#include "bookwindow/JpegDecoder.h"
#include "bookwindow/PagePicture.h"
#include "pictures/PictureMemory.h"

#include <QImageReader>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folimar::fuzz::startGuiApplication();
    folimar::pictures::allowPagePictures(); // then lowered: the program's bound comes first
    QImageReader::setAllocationLimit(64);   // megabytes, well inside libFuzzer's memory limit
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = folimar::fuzz::bytesOf(data, size);
    folimar::bookwindow::PagePicture page;
    if (page.load(bytes)) {
        const QSize natural = page.naturalSize();
        page.render(natural.scaled(QSize(64, 64), Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    folimar::bookwindow::JpegDecoder().decode(bytes, QSize(40, 30));
    return 0;
}
