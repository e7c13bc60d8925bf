// A multi-page TIFF's chain of directories: any bytes as the file. The walk ends whatever
// the chain does, every directory it gives lies inside the file, once, and each is read as
// a picture of its own within the picture memory.
#include "FuzzApplication.h"
#include "pictures/PictureMemory.h"
#include "pictures/PictureReading.h"
#include "pictures/TiffDirectories.h"

#include <QBuffer>
#include <QSet>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    folimar::fuzz::startGuiApplication();
    QByteArray bytes = folimar::fuzz::bytesOf(data, size);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    const std::vector<qint64> directories = folimar::pictures::tiffDirectories(file);
    if (directories.size() > folimar::pictures::MaxTiffPictures)
        __builtin_trap();
    QSet<qint64> seen;
    for (const qint64 at : directories) {
        if (at < 8 || at >= bytes.size() || seen.contains(at))
            __builtin_trap();
        seen.insert(at);
    }
    // The pictures themselves, each read as the first: a few, so that a run stays quick.
    for (std::size_t i = 0; i < std::min<std::size_t>(directories.size(), 3); ++i) {
        QByteArray pointed = bytes;
        if (!folimar::pictures::pointToDirectory(pointed.data(), pointed.size(), directories[i]))
            __builtin_trap();
        QBuffer picture(&pointed);
        picture.open(QIODevice::ReadOnly);
        const folimar::pictures::PictureRead read = folimar::pictures::readPicture(picture);
        if (!read.image.isNull() && !folimar::pictures::fitsPictureMemory(read.image.size()))
            __builtin_trap();
    }
    return 0;
}
