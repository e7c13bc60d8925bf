// The word boxes kept with a topic: any bytes as the blob. A blob that decodes must encode
// back to one that decodes to the same page, with no box reaching past the numbers' range.
#include "recognition/WordBoxBlob.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray blob(reinterpret_cast<const char*>(data), qsizetype(size));
    std::optional<folimar::recognition::PageText> page =
        folimar::recognition::decodeWordBoxes(blob);
    if (!page)
        return 0;
    for (const folimar::recognition::WordBox& word : page->words) {
        if (word.box.width() <= 0 || word.box.height() <= 0)
            __builtin_trap();
        if (word.confidence != folimar::recognition::WordBox::UnknownConfidence &&
            (word.confidence < 0 || word.confidence > 100))
            __builtin_trap();
    }
    if (!page->words.isEmpty() &&
        folimar::recognition::decodeWordBoxes(folimar::recognition::encodeWordBoxes(*page)) != page)
        __builtin_trap();
    folimar::recognition::keepWordsOnPicture(*page, QSize(5000, 7000));
    return 0;
}
