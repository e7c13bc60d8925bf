#include "JpegCompressor.h"

#include "ConversionError.h"

#include <algorithm>
#include <string>
#include <turbojpeg.h>

namespace folimar::bmp2jpg {

JpegCompressor::JpegCompressor() : handle_(tjInitCompress(), tjDestroy) {
    if (!handle_)
        throw ConversionError(std::string("cannot start the JPEG encoder: ") +
                              tjGetErrorStr2(nullptr));
}

JpegCompressor::Jpeg JpegCompressor::compress(std::span<const unsigned char> file,
                                              const BmpLayout& layout, int quality) {
    const int pixelFormat = layout.order == BmpLayout::PixelOrder::Bgr ? TJPF_BGR : TJPF_BGRX;
    const int flags = layout.topDown ? 0 : TJFLAG_BOTTOMUP;
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    // The library's lowest quality is 1.
    const int result = tjCompress2(handle_.get(), file.data() + layout.pixelOffset, layout.width,
                                   int(layout.stride), layout.height, pixelFormat, &output,
                                   &outputSize, TJSAMP_420, std::max(quality, 1), flags);
    Jpeg jpeg{{output, tjFree}, outputSize};
    if (result != 0)
        throw ConversionError(std::string("JPEG encoding failed: ") +
                              tjGetErrorStr2(handle_.get()));
    return jpeg;
}

} // namespace folimar::bmp2jpg
