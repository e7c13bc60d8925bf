#include "import/PictureFile.h"

#include "pictures/TiffDirectories.h"

namespace folimar::import {

bool PictureFile::open(const QString& path) {
    tiff_.close();
    mapped_.clear();
    tiffDirectories_.clear();
    file_.close();
    path_ = path;
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        error_ = file_.errorString();
        return false;
    }
    tiffDirectories_ = pictures::tiffDirectories(file_);
    // Private: the header pointed at each picture in turn is this reader's own, never the
    // file's. Without a mapping the decoder finds each picture along the chain.
    if (uchar* map = tiffDirectories_.empty()
                         ? nullptr
                         : file_.map(0, file_.size(), QFileDevice::MapPrivateOption)) {
        mapped_ = QByteArray::fromRawData(reinterpret_cast<const char*>(map), file_.size());
        tiff_.setBuffer(&mapped_);
    }
    return true;
}

std::optional<PictureFile::Picture> PictureFile::picture(const QString& path, int index) {
    if ((path != path_ || !file_.isOpen()) && !open(path))
        return std::nullopt;
    if (tiffDirectories_.empty() || mapped_.isNull()) {
        if (!file_.seek(0)) {
            error_ = file_.errorString();
            return std::nullopt;
        }
        return Picture{file_, index};
    }
    if (index < 0 || std::size_t(index) >= tiffDirectories_.size()) {
        error_ = QStringLiteral("the file holds no such picture");
        return std::nullopt;
    }
    tiff_.close();
    pictures::pointToDirectory(const_cast<char*>(mapped_.constData()), mapped_.size(),
                               tiffDirectories_[std::size_t(index)]);
    tiff_.open(QIODevice::ReadOnly);
    return Picture{tiff_, 0};
}

} // namespace folimar::import
