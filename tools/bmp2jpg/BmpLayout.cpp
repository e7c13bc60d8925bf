#include "BmpLayout.h"

#include "ConversionError.h"

#include <cstdint>
#include <limits>
#include <string>

namespace folimar::bmp2jpg {

namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::uint32_t infoHeaderSize = 40;
constexpr std::uint32_t largestInfoHeaderSize = 124; // V5
constexpr std::uint32_t compressionRgb = 0;
constexpr std::uint32_t compressionBitfields = 3;
constexpr std::int64_t maxSide = 30000;
constexpr std::int64_t maxPixels = 400'000'000;

std::uint32_t le32(std::span<const unsigned char> bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
           std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

std::uint16_t le16(std::span<const unsigned char> bytes, std::size_t at) {
    return std::uint16_t(bytes[at] | bytes[at + 1] << 8);
}

std::int32_t signed32(std::uint32_t value) {
    return value > std::uint32_t(std::numeric_limits<std::int32_t>::max())
               ? std::int32_t(std::int64_t(value) - (std::int64_t(1) << 32))
               : std::int32_t(value);
}

// Red, green and blue masks of a 32-bit BI_BITFIELDS bitmap: only the layout whose bytes run
// blue, green, red, unused is accepted.
void checkStandardMasks(std::span<const unsigned char> file, std::size_t masksAt) {
    if (file.size() < masksAt + 12)
        throw ConversionError("truncated header");
    if (le32(file, masksAt) != 0x00FF0000u || le32(file, masksAt + 4) != 0x0000FF00u ||
        le32(file, masksAt + 8) != 0x000000FFu)
        throw ConversionError("unsupported colour masks");
}

} // namespace

BmpLayout BmpLayout::read(std::span<const unsigned char> file) {
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M')
        throw ConversionError("not a BMP file");
    if (file.size() < fileHeaderSize + infoHeaderSize)
        throw ConversionError("truncated header");

    const std::uint32_t headerSize = le32(file, fileHeaderSize);
    if (headerSize < infoHeaderSize || headerSize > largestInfoHeaderSize)
        throw ConversionError("unsupported BMP header (size " + std::to_string(headerSize) + ")");
    if (file.size() < fileHeaderSize + headerSize)
        throw ConversionError("truncated header");

    const std::size_t info = fileHeaderSize;
    const std::int64_t width = signed32(le32(file, info + 4));
    const std::int64_t rawHeight = signed32(le32(file, info + 8));
    const std::uint16_t planes = le16(file, info + 12);
    const std::uint16_t bitCount = le16(file, info + 14);
    const std::uint32_t compression = le32(file, info + 16);

    if (planes != 1)
        throw ConversionError("bad plane count");
    if (bitCount != 24 && bitCount != 32)
        throw ConversionError("unsupported bit depth " + std::to_string(bitCount) +
                              " (only 24 and 32 bits)");
    if (compression == compressionBitfields && bitCount == 32) {
        // A plain info header is followed by the masks; later headers hold them inside.
        checkStandardMasks(file, info + infoHeaderSize);
    } else if (compression != compressionRgb) {
        throw ConversionError("unsupported compression " + std::to_string(compression));
    }

    const std::int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0)
        throw ConversionError("bad image size " + std::to_string(width) + " x " +
                              std::to_string(rawHeight));
    if (width > maxSide || height > maxSide || width * height > maxPixels)
        throw ConversionError("image too large (" + std::to_string(width) + " x " +
                              std::to_string(height) + ")");

    // All sizes below are bounded by the limits above, so 64-bit products cannot overflow.
    const std::uint64_t stride = (std::uint64_t(width) * bitCount + 31) / 32 * 4;
    const std::uint64_t pixelOffset = le32(file, 10);
    const bool masksFollowHeader =
        compression == compressionBitfields && headerSize == infoHeaderSize;
    const std::uint64_t headersEnd = fileHeaderSize + headerSize + (masksFollowHeader ? 12 : 0);
    if (pixelOffset < headersEnd)
        throw ConversionError("pixel data overlaps the header");
    if (pixelOffset > file.size() || stride * std::uint64_t(height) > file.size() - pixelOffset)
        throw ConversionError("truncated pixel data");

    BmpLayout layout;
    layout.width = int(width);
    layout.height = int(height);
    layout.topDown = rawHeight < 0;
    layout.pixelOffset = std::size_t(pixelOffset);
    layout.stride = std::size_t(stride);
    layout.order = bitCount == 24 ? PixelOrder::Bgr : PixelOrder::Bgrx;
    return layout;
}

} // namespace folimar::bmp2jpg
