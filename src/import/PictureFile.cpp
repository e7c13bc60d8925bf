#include "import/PictureFile.h"

#include "pictures/TiffDirectories.h"

namespace folimar::import {

PictureFile::PictureFile() = default;
PictureFile::~PictureFile() = default;

std::optional<PictureFile::Picture> PictureFile::picture(const QString& path, int index) {
    view_.reset();
    if (path != path_ || !file_.isOpen()) {
        file_.close();
        path_ = path;
        file_.setFileName(path);
        if (!file_.open(QIODevice::ReadOnly)) {
            error_ = file_.errorString();
            return std::nullopt;
        }
        tiffDirectories_ = pictures::tiffDirectories(file_);
    }
    if (tiffDirectories_.empty()) {
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
    view_ =
        std::make_unique<pictures::TiffPictureView>(file_, tiffDirectories_[std::size_t(index)]);
    return Picture{*view_, 0};
}

} // namespace folimar::import
