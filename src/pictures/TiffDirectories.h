#pragma once

#include <QIODevice>
#include <QtGlobal>
#include <vector>

namespace folimar::pictures {

// The most pictures taken from one TIFF file: more than a book holds topics.
inline constexpr std::size_t MaxTiffPictures = 100'000;

// Where each picture's directory of a TIFF file (classic or BigTIFF) begins, in the file's
// order, found by one walk along the chain: the chain ends at a directory that points back
// to one already seen, reaches past the file's end or is cut off, and at MaxTiffPictures.
// Empty when the file is not a TIFF.
std::vector<qint64> tiffDirectories(QIODevice& file);

// Reads a TIFF file as if the picture whose directory begins at `directory` were its first,
// so that a decoder reads it without walking the chain of the pictures before it. Only
// the header's pointer to the first directory differs from the file itself.
class TiffPictureView final : public QIODevice {
public:
    TiffPictureView(QIODevice& file, qint64 directory);
    bool isSequential() const override { return false; }
    qint64 size() const override { return file_.size(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& file_;
    QByteArray header_; // the file's first bytes, pointing to `directory`
};

} // namespace folimar::pictures
