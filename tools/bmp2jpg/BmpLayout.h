#pragma once

#include <cstddef>
#include <span>

namespace folimar::bmp2jpg {

// Where the pixels of an uncompressed 24- or 32-bit bitmap lie in its file, checked so that
// every row lies wholly inside the file.
struct BmpLayout {
    enum class PixelOrder { Bgr, Bgrx };

    int width = 0;
    int height = 0;
    bool topDown = false; // first row in the file is the top row
    std::size_t pixelOffset = 0;
    std::size_t stride = 0; // bytes per row, padding included
    PixelOrder order = PixelOrder::Bgr;

    // Reads the headers of a whole bitmap file; throws ConversionError on anything it cannot
    // convert safely.
    static BmpLayout read(std::span<const unsigned char> file);
};

} // namespace folimar::bmp2jpg
