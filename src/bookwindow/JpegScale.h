#pragma once

#include <QSize>
#include <span>

namespace folimar::bookwindow {

// A fraction the JPEG decoder can scale by while decoding (num / denom).
struct JpegScale {
    int num = 1;
    int denom = 1;
};

// A side of `natural` pixels decoded at `scale`: the decoder rounds up.
QSize ScaledJpegSize(QSize natural, JpegScale scale);

// The scale to decode a picture of `natural` size at, for showing it at `shown`: the
// smallest of `scales` whose decoded picture still covers `shown` on both sides, so the
// last smooth shrink loses nothing. Never above 1: enlarging is left to the smooth scale.
JpegScale ChooseJpegScale(QSize natural, QSize shown, std::span<const JpegScale> scales);

} // namespace folimar::bookwindow
