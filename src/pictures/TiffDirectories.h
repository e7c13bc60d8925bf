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

// Points the header at the start of a TIFF file's bytes (16 of them, or the file's size if
// less) at the directory that begins at `directory`, so that a decoder reads that picture as
// the file's first without walking the chain of the pictures before it. False, and nothing
// changed, when the bytes begin no TIFF.
bool pointToDirectory(char* head, qint64 size, qint64 directory);

} // namespace folimar::pictures
