#include "bookwindow/JpegScale.h"

namespace folimar::bookwindow {

namespace {

int scaledSide(int side, JpegScale scale) {
    return int((qint64(side) * scale.num + scale.denom - 1) / scale.denom);
}

bool notAboveOne(JpegScale scale) {
    return scale.num > 0 && scale.denom > 0 && scale.num <= scale.denom;
}

// a < b, compared as fractions
bool smaller(JpegScale a, JpegScale b) {
    return qint64(a.num) * b.denom < qint64(b.num) * a.denom;
}

} // namespace

QSize ScaledJpegSize(QSize natural, JpegScale scale) {
    return {scaledSide(natural.width(), scale), scaledSide(natural.height(), scale)};
}

JpegScale ChooseJpegScale(QSize natural, QSize shown, std::span<const JpegScale> scales) {
    JpegScale best;
    for (const JpegScale scale : scales) {
        if (!notAboveOne(scale) || !smaller(scale, best))
            continue;
        const QSize decoded = ScaledJpegSize(natural, scale);
        if (decoded.width() >= shown.width() && decoded.height() >= shown.height())
            best = scale;
    }
    return best;
}

} // namespace folimar::bookwindow
