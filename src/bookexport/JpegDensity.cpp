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
    if (!isJpeg(jpeg))
        return std::nullopt;
    qsizetype at = 2;
    while (byteAt(jpeg, at) == 0xFF) {
        const int marker = byteAt(jpeg, at + 1);
        if (marker == 0xFF) { // fill before a marker
            ++at;
            continue;
        }
        const int length = wordAt(jpeg, at + 2);
        if (marker < 0 || marker == 0xD9 || marker == 0xDA || length < 2)
            return std::nullopt; // the data or the end came before any frame
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            const JpegFrame found{wordAt(jpeg, at + 7), wordAt(jpeg, at + 5), byteAt(jpeg, at + 9)};
            const bool usable =
                byteAt(jpeg, at + 4) == 8 && found.width > 0 && found.height > 0 &&
                (found.components == 1 || found.components == 3 || found.components == 4);
            return usable ? std::optional(found) : std::nullopt;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace folimar::bookexport
