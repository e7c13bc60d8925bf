#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>
#include <vector>

namespace folimar::import {

// The image file whose pictures are being made into pages, kept open from one page to the
// next. The directories of a multi-page TIFF are found once, and each of its pictures is
// read straight from its own directory, through a private mapping of the file whose header
// is pointed at it: a file of thousands of pages is gone through once, not once for every
// page.
class PictureFile {
public:
    PictureFile() = default;
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    // Where picture `index` of `path` is read from, and its index there; none, with the
    // reason in errorString(), when the file cannot be opened or holds no such picture.
    struct Picture {
        QIODevice& device;
        int index;
    };
    std::optional<Picture> picture(const QString& path, int index);
    QString errorString() const { return error_; }

private:
    bool open(const QString& path);

    QString path_;
    QFile file_;
    std::vector<qint64> tiffDirectories_; // empty for a file of another kind
    QByteArray mapped_;                   // the TIFF's private mapping, when it has one
    QBuffer tiff_;                        // reads mapped_
    QString error_;
};

} // namespace folimar::import
