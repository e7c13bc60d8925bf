// The converter's bitmap reader: any bytes as a .bmp file; every row it accepts must lie
// inside the file (the sanitizer catches a read past it).
#include "BmpLayout.h"
#include "ConversionError.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using folimar::bmp2jpg::BmpLayout;
    try {
        const BmpLayout layout = BmpLayout::read(std::span<const unsigned char>(data, size));
        const std::size_t pixelBytes = layout.order == BmpLayout::PixelOrder::Bgr ? 3 : 4;
        volatile unsigned char sum = 0;
        for (int row = 0; row < layout.height; ++row) {
            const unsigned char* line =
                data + layout.pixelOffset + std::size_t(row) * layout.stride;
            sum = sum + line[0] + line[std::size_t(layout.width) * pixelBytes - 1];
        }
    } catch (const folimar::bmp2jpg::ConversionError&) {
    }
    return 0;
}
