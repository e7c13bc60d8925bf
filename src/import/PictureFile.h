#pragma once

#include <QFile>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace folimar::pictures {
class TiffPictureView;
}

namespace folimar::import {

// The image file whose pictures are being made into pages, kept open from one page to the
// next. The directories of a multi-page TIFF are found once, so that each of its pictures
// is read straight from its own directory: a file of thousands of pages is gone through
// once, not once for every page.
class PictureFile {
public:
    PictureFile();
    ~PictureFile();
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    // Where picture `index` of `path` is read from, and its index there; null with the
    // reason in errorString() when the file cannot be opened or holds no such picture.
    struct Picture {
        QIODevice& device;
        int index;
    };
    std::optional<Picture> picture(const QString& path, int index);
    QString errorString() const { return error_; }

private:
    QString path_;
    QFile file_;
    std::vector<qint64> tiffDirectories_; // empty for a file of another kind
    std::unique_ptr<pictures::TiffPictureView> view_;
    QString error_;
};

} // namespace folimar::import
