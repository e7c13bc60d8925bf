#include "bookwindow/JpegDecoder.h"

#include "bookwindow/BookWindowLog.h"
#include "bookwindow/JpegFrame.h"
#include "bookwindow/JpegScale.h"
#include "bookwindow/UprightTurn.h"
#include "pictures/PictureMemory.h"

#include <QImageReader>
#include <turbojpeg.h>
#include <vector>

namespace folimar::bookwindow {

namespace {

// QImage::Format_RGB32 is 0xffRRGGBB in native order; these formats write the 0xff.
constexpr int NativeRgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB;

const unsigned char* data(const QByteArray& bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

// The same ceiling as Qt's image readers, so a picture whose header claims a vast size
// is refused here too rather than taking the memory.
bool withinAllocationLimit(qint64 bytes) {
    pictures::allowPagePictures();
    const qint64 limitMegabytes = QImageReader::allocationLimit();
    return limitMegabytes <= 0 || bytes <= limitMegabytes << 20;
}

bool withinAllocationLimit(QSize size) {
    return withinAllocationLimit(qint64(size.width()) * size.height() * 4);
}

std::vector<JpegScale> decoderScales() {
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    std::vector<JpegScale> scales;
    if (!factors)
        return scales;
    scales.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        scales.push_back({factors[i].num, factors[i].denom});
    return scales;
}

} // namespace

void JpegDecoder::HandleDeleter::operator()(void* handle) const {
    if (tjDestroy(handle) != 0)
        qCWarning(bookWindowLog) << "could not free the JPEG decoder";
}

JpegDecoder::JpegDecoder() : handle_(tjInitDecompress()) {
    if (!handle_)
        qCWarning(bookWindowLog) << "could not start the JPEG decoder:" << tjGetErrorStr2(nullptr);
}

JpegDecoder::~JpegDecoder() = default;

bool JpegDecoder::fitsMemory(const QByteArray& jpeg) {
    const std::optional<JpegFrame> frame = ReadJpegFrame(jpeg);
    return !frame || withinAllocationLimit(FullSizeBufferBytes(*frame));
}

QSize JpegDecoder::size(const QByteArray& jpeg) {
    const QSize stored = storedSize(jpeg);
    return stored.isEmpty() ? stored : turnedSize(stored, uprightTurn(jpeg));
}

QSize JpegDecoder::storedSize(const QByteArray& jpeg) {
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourSpace = 0;
    if (!handle_ || jpeg.isEmpty() ||
        tjDecompressHeader3(handle_.get(), data(jpeg), static_cast<unsigned long>(jpeg.size()),
                            &width, &height, &subsampling, &colourSpace) != 0 ||
        colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK)
        return {};
    return {width, height};
}

QImage JpegDecoder::decode(const QByteArray& jpeg, QSize size) {
    const QSize natural = storedSize(jpeg);
    if (natural.isEmpty() || size.isEmpty())
        return {};
    // Decoded as stored, at the size that turns into the one asked for.
    const Turn turn = uprightTurn(jpeg);
    const QSize stored = turnedSize(size, turn);
    const QSize decoded =
        ScaledJpegSize(natural, ChooseJpegScale(natural, stored, decoderScales()));
    if (!withinAllocationLimit(decoded) || !fitsMemory(jpeg)) {
        qCInfo(bookWindowLog) << "a JPEG of" << natural << "needs more memory than allowed";
        return {};
    }
    QImage image(decoded, QImage::Format_RGB32);
    if (image.isNull())
        return {}; // too large to hold
    const int status = tjDecompress2(
        handle_.get(), data(jpeg), static_cast<unsigned long>(jpeg.size()), image.bits(),
        decoded.width(), int(image.bytesPerLine()), decoded.height(), NativeRgb32,
        TJFLAG_LIMITSCANS);
    // A warning (a page cut short, say) still leaves a whole picture, as other viewers show it.
    if (status != 0 && tjGetErrorCode(handle_.get()) != TJERR_WARNING) {
        qCInfo(bookWindowLog) << "JPEG decoding failed:" << tjGetErrorStr2(handle_.get());
        return {};
    }
    if (decoded != stored)
        image = image.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return turned(std::move(image), turn);
}

} // namespace folimar::bookwindow
