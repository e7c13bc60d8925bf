#include "bookwindow/JpegFrame.h"

#include <algorithm>

namespace folimar::bookwindow {

namespace {

constexpr int Marker = 0xff;
constexpr int StartOfImage = 0xd8;
constexpr int StartOfScan = 0xda;
constexpr int HuffmanTables = 0xc4;
constexpr int ArithmeticConditioning = 0xcc;
constexpr int Extension = 0xc8;

bool isFrameHeader(int marker) {
    return marker >= 0xc0 && marker <= 0xcf && marker != HuffmanTables && marker != Extension &&
           marker != ArithmeticConditioning;
}

bool isProgressive(int marker) {
    return marker == 0xc2 || marker == 0xc6 || marker == 0xca || marker == 0xce;
}

// Markers that stand alone, with no length after them.
bool standsAlone(int marker) {
    return marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8);
}

qint64 ceilDiv(qint64 a, qint64 b) {
    return (a + b - 1) / b;
}

class MarkerReader {
public:
    explicit MarkerReader(const QByteArray& bytes) : bytes_(bytes) {}
    int byte(qsizetype at) const { return at < bytes_.size() ? quint8(bytes_[at]) : -1; }
    int word(qsizetype at) const {
        const int high = byte(at);
        const int low = byte(at + 1);
        return high < 0 || low < 0 ? -1 : high << 8 | low;
    }

private:
    const QByteArray& bytes_;
};

bool readFrameHeader(const MarkerReader& in, qsizetype at, JpegFrame& frame) {
    frame.height = in.word(at + 1);
    frame.width = in.word(at + 3);
    const int count = in.byte(at + 5);
    if (frame.height <= 0 || frame.width <= 0 || count <= 0)
        return false;
    for (int i = 0; i < count; ++i) {
        const int sampling = in.byte(at + 6 + 3 * i + 1);
        if (sampling < 0)
            return false;
        frame.components.push_back({std::max(1, sampling >> 4), std::max(1, sampling & 0x0f)});
    }
    return true;
}

} // namespace

std::optional<JpegFrame> ReadJpegFrame(const QByteArray& jpeg) {
    const MarkerReader in(jpeg);
    if (in.byte(0) != Marker || in.byte(1) != StartOfImage)
        return std::nullopt;
    std::optional<JpegFrame> frame;
    qsizetype at = 2;
    while (at < jpeg.size()) {
        if (in.byte(at) != Marker) {
            ++at; // stray bytes between segments are skipped, as the decoder does
            continue;
        }
        while (in.byte(at) == Marker)
            ++at; // fill bytes
        const int marker = in.byte(at++);
        if (marker < 0)
            break;
        if (standsAlone(marker))
            continue;
        const int length = in.word(at);
        if (length < 2)
            break;
        if (isFrameHeader(marker) && !frame) {
            JpegFrame read;
            read.wholePictureBuffered = isProgressive(marker);
            if (!readFrameHeader(in, at + 2, read))
                return std::nullopt;
            frame = std::move(read);
        } else if (marker == StartOfScan) {
            if (frame && in.byte(at + 2) < int(frame->components.size()))
                frame->wholePictureBuffered = true;
            break;
        }
        at += length;
    }
    return frame;
}

qint64 FullSizeBufferBytes(const JpegFrame& frame) {
    if (!frame.wholePictureBuffered)
        return 0;
    int maxHorizontal = 1;
    int maxVertical = 1;
    for (const JpegFrame::Component& c : frame.components) {
        maxHorizontal = std::max(maxHorizontal, c.horizontal);
        maxVertical = std::max(maxVertical, c.vertical);
    }
    constexpr qint64 BlockBytes = 64 * 2; // 8 x 8 coefficients of two bytes
    qint64 total = 0;
    for (const JpegFrame::Component& c : frame.components) {
        const qint64 blocksWide =
            ceilDiv(ceilDiv(qint64(frame.width) * c.horizontal, maxHorizontal), 8);
        const qint64 blocksHigh =
            ceilDiv(ceilDiv(qint64(frame.height) * c.vertical, maxVertical), 8);
        total += ceilDiv(blocksWide, c.horizontal) * c.horizontal *
                 ceilDiv(blocksHigh, c.vertical) * c.vertical * BlockBytes;
    }
    return total;
}

} // namespace folimar::bookwindow
