#pragma once

#include "recognition/PageText.h"

#include <QByteArray>
#include <optional>

namespace folimar::recognition {

// The word boxes of a page as one compact blob, stored beside the topic:
//   "FWB" and a version byte (1), the word count (32 bits), then per word six 32-bit
//   numbers: x, y, width, height, offset, length. All numbers little-endian.
// No words give an empty blob.
QByteArray encodeWordBoxes(const QList<WordBox>& words);
// The words of a blob; none for a blob that is not one of ours, of another version, or
// cut short or padded.
std::optional<QList<WordBox>> decodeWordBoxes(const QByteArray& blob);

} // namespace folimar::recognition
