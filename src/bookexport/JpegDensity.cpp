#include "bookexport/JpegDensity.h"

namespace folimar::bookexport {

namespace {

constexpr double CentimetresPerInch = 2.54;

int byteAt(const QByteArray& bytes, qsizetype at) {
    return at < bytes.size() ? int(static_cast<unsigned char>(bytes[at])) : -1;
}

int wordAt(const QByteArray& bytes, qsizetype at) {
    const int high = byteAt(bytes, at);
    const int low = byteAt(bytes, at + 1);
    return high < 0 || low < 0 ? -1 : high << 8 | low;
}

// Calls `visit(marker, at)` for each marker before a JPEG's data and the start of its data,
// until `visit` returns true or the bytes end or are no JPEG's.
template <typename Visit> void walkHeader(const QByteArray& jpeg, Visit visit) {
    if (!isJpeg(jpeg))
        return;
    qsizetype at = 2;
    while (byteAt(jpeg, at) == 0xFF) {
        const int marker = byteAt(jpeg, at + 1);
        if (marker == 0xFF) { // fill before a marker
            ++at;
            continue;
        }
        const int length = wordAt(jpeg, at + 2);
        if (marker < 0 || marker == 0xD9 || length < 2 || visit(marker, at) || marker == 0xDA)
            return;
        at += 2 + length;
    }
}

} // namespace

bool isJpeg(const QByteArray& bytes) {
    return byteAt(bytes, 0) == 0xFF && byteAt(bytes, 1) == 0xD8 && byteAt(bytes, 2) == 0xFF;
}

QPointF jpegDotsPerInch(const QByteArray& jpeg) {
    const QPointF unstated(UnstatedDotsPerInch, UnstatedDotsPerInch);
    if (!isJpeg(jpeg))
        return unstated;
    // The markers before the picture's data; JFIF's APP0 comes first when there is one.
    qsizetype at = 2;
    while (byteAt(jpeg, at) == 0xFF) {
        const int marker = byteAt(jpeg, at + 1);
        const int length = wordAt(jpeg, at + 2);
        if (marker < 0xE0 || marker > 0xEF || length < 2)
            break; // past the application headers: no density was stated
        if (marker == 0xE0 && length >= 16 && jpeg.mid(at + 4, 5) == QByteArray("JFIF", 5)) {
            const int units = byteAt(jpeg, at + 11);
            const int x = wordAt(jpeg, at + 12);
            const int y = wordAt(jpeg, at + 14);
            if ((units != 1 && units != 2) || x <= 0 || y <= 0)
                return unstated;
            const double scale = units == 2 ? CentimetresPerInch : 1.0;
            return {x * scale, y * scale};
        }
        at += 2 + length;
    }
    return unstated;
}

std::optional<JpegFrame> jpegFrame(const QByteArray& jpeg) {
    std::optional<JpegFrame> found;
    walkHeader(jpeg, [&](int marker, qsizetype at) {
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!frame)
            return false;
        const JpegFrame read{wordAt(jpeg, at + 7), wordAt(jpeg, at + 5), byteAt(jpeg, at + 9)};
        if (byteAt(jpeg, at + 4) == 8 && read.width > 0 && read.height > 0 &&
            (read.components == 1 || read.components == 3 || read.components == 4))
            found = read;
        return true;
    });
    return found;
}

qsizetype jpegHeaderSize(const QByteArray& jpeg) {
    qsizetype size = -1;
    walkHeader(jpeg, [&](int marker, qsizetype at) {
        if (marker == 0xDA && at + 2 + wordAt(jpeg, at + 2) <= jpeg.size())
            size = at + 2 + wordAt(jpeg, at + 2);
        return marker == 0xDA;
    });
    return size;
}

} // namespace folimar::bookexport
