#pragma once

#include "recognition/PageText.h"

#include <QByteArray>
#include <QSize>
#include <optional>

namespace folimar::recognition {

// The word boxes of a page as one compact blob, stored beside the topic:
//   "FWB" and a version byte (2), the word count (32 bits), then per word six 32-bit
//   numbers: x, y, width, height, offset, length; then the recognised text the offsets
//   point into: its length in UTF-16 units (32 bits) and the units. All little-endian.
// A page without words gives an empty blob. Version 1 blobs, without the text, are read
// with an empty text.
QByteArray encodeWordBoxes(const PageText& page);
// The page of a blob; none for a blob that is not one of ours, of an unknown version, or
// cut short or padded.
// Boxes without area, or reaching past the numbers' range, are left out.
std::optional<PageText> decodeWordBoxes(const QByteArray& blob);
// Leaves out the words whose boxes do not lie wholly on a picture of `size` (a damaged blob,
// or the boxes of another picture), so that nothing is marked beside the picture or over all
// of it.
void keepWordsOnPicture(PageText& page, const QSize& size);

} // namespace folimar::recognition
