#pragma once

#include "BmpLayout.h"

#include <cstddef>
#include <memory>
#include <span>

namespace folimar::bmp2jpg {

// Compresses bitmap pixels straight from the file's bytes with TurboJPEG (4:2:0, its default
// DCT). The rows are handed over as they lie in the file: no copy, bottom-up or top-down.
class JpegCompressor {
public:
    JpegCompressor();

    struct Jpeg {
        std::unique_ptr<unsigned char, void (*)(unsigned char*)> data;
        std::size_t size;
    };

    // Throws ConversionError when the library fails.
    Jpeg compress(std::span<const unsigned char> file, const BmpLayout& layout, int quality);

private:
    std::unique_ptr<void, int (*)(void*)> handle_;
};

} // namespace folimar::bmp2jpg
