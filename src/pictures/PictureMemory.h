#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>

namespace folimar::pictures {

// The memory one page picture may take once decoded, counted as 32-bit pixels (the form
// it takes to be shown, converted and stored). An A3 page scanned at 600 dpi
// (7016 x 9920) takes 278 MB, a 108-megapixel phone photo 432 MB; a larger photo is
// decoded at half or a quarter of its size, which is still more than reading needs. Qt's
// own default bound (128 MB) would refuse an A4 page at 600 dpi.
inline constexpr qint64 PictureMemoryLimit = 500'000'000;

// The bytes a picture of `size` takes as 32-bit pixels.
qint64 pictureBytes(QSize size);
bool fitsPictureMemory(QSize size);

// Lets Qt's image readers decode pictures up to PictureMemoryLimit. Done once per
// process, before the first page picture is decoded, by whatever decodes one first; a
// lower bound set later (a test's) is left alone.
void allowPagePictures();

// Why a picture of `size` is not taken, in words that end a sentence begun elsewhere:
// "it is 20000 × 30000 pixels and would take 2.2 GB of memory, more than ...".
QString tooLargeReason(QSize size);

} // namespace folimar::pictures
