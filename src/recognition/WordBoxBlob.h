#pragma once

#include "recognition/PageText.h"

#include <QByteArray>
#include <QSize>
#include <optional>

namespace folimar::recognition {

// The word boxes of a page as one compact blob, stored beside the topic:
//   "FWB" and a version byte (3), the word count (32 bits), then per word seven 32-bit
//   numbers: x, y, width, height, offset, length, confidence; then the recognised text the
//   offsets point into: its length in UTF-16 units (32 bits) and the units. All
//   little-endian.
// A page without words gives an empty blob. Version 2 blobs have six numbers per word (no
// confidence) and version 1 blobs no text either: their words read with an unknown
// confidence, and version 1 pages with an empty text. A confidence outside 0 to 100 reads
// as unknown.
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
