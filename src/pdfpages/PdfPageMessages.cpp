#include "pdfpages/PdfPageMessages.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace folimar::pdfpages {

namespace {

enum Kind : char {
    OpenKind = 'O',
    LayoutKind = 'L',
    DrawKind = 'D',
    OpenedKind = 'o',
    PageLayoutKind = 'l',
    DrawnKind = 'd',
    RefusedKind = 'r',
};

// The words of a page beyond the picture: a page of small print holds some thousands.
constexpr qsizetype MaxWordsBody = 64 << 20;
constexpr int MostBytesPerPixel = 4;

class Writer {
public:
    explicit Writer(Kind kind, qsizetype size = 16) {
        bytes_.reserve(size);
        bytes_.append(char(kind));
    }
    Writer& u8(quint8 value) {
        bytes_.append(char(value));
        return *this;
    }
    Writer& u32(quint32 value) {
        char raw[4];
        qToLittleEndian(value, raw);
        bytes_.append(raw, 4);
        return *this;
    }
    Writer& f64(double value) {
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        char raw[8];
        qToLittleEndian(bits, raw);
        bytes_.append(raw, 8);
        return *this;
    }
    Writer& bytes(const QByteArray& value) {
        u32(quint32(value.size()));
        bytes_.append(value);
        return *this;
    }
    Writer& raw(const char* data, qsizetype size) {
        bytes_.append(data, size);
        return *this;
    }
    QByteArray take() { return std::move(bytes_); }

private:
    QByteArray bytes_;
};

// Reads fields from a body; once a read runs past its end every later read fails too.
class Reader {
public:
    explicit Reader(const QByteArray& body) : body_(body) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return ok_ && at_ == body_.size(); }
    qsizetype left() const { return body_.size() - at_; }

    quint8 u8() { return take(1) ? quint8(body_[at_ - 1]) : 0; }
    quint32 u32() { return take(4) ? qFromLittleEndian<quint32>(body_.constData() + at_ - 4) : 0; }
    double f64() {
        if (!take(8))
            return 0;
        const quint64 bits = qFromLittleEndian<quint64>(body_.constData() + at_ - 8);
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            ok_ = false;
        return value;
    }
    QByteArray bytes() {
        const quint32 size = u32();
        if (!ok_ || size > quint64(left())) {
            ok_ = false;
            return {};
        }
        at_ += size;
        return body_.mid(at_ - size, size);
    }
    const char* raw(qsizetype size) {
        return take(size) ? body_.constData() + at_ - size : nullptr;
    }

private:
    bool take(qsizetype size) {
        if (!ok_ || size > left()) {
            ok_ = false;
            return false;
        }
        at_ += size;
        return true;
    }

    const QByteArray& body_;
    qsizetype at_ = 1; // past the kind
    bool ok_ = true;
};

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::optional<PageLayout> decodeLayout(Reader& in) {
    PageLayout layout;
    layout.points.setWidth(in.f64());
    layout.points.setHeight(in.f64());
    const quint32 count = in.u32();
    // Each word takes at least its length, its box and its flag: a count beyond what the
    // body holds is refused before anything is reserved for it.
    constexpr qsizetype LeastWord = 4 + 4 * 8 + 1;
    if (!in.ok() || layout.points.width() < 0 || layout.points.height() < 0 ||
        count > quint64(in.left() / LeastWord))
        return std::nullopt;
    layout.words.reserve(count);
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        PdfWord word;
        word.text = QString::fromUtf8(in.bytes());
        const double x = in.f64();
        const double y = in.f64();
        const double width = in.f64();
        const double height = in.f64();
        word.box = QRectF(x, y, width, height);
        word.followsOnLine = in.u8() != 0;
        layout.words.push_back(std::move(word));
    }
    return in.atEnd() ? std::optional(std::move(layout)) : std::nullopt;
}

std::optional<Drawn> decodeDrawn(Reader& in, qint64 maxPixels) {
    const quint8 depth = in.u8(); // bytes per pixel: grey or RGB
    const quint32 width = in.u32();
    const quint32 height = in.u32();
    if (!in.ok() || (depth != 1 && depth != 4) || width == 0 || height == 0 ||
        quint64(width) * height > quint64(maxPixels) || qint64(width) * height * depth != in.left())
        return std::nullopt;
    const char* pixels = in.raw(in.left());
    QImage picture(int(width), int(height),
                   depth == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (picture.isNull())
        return std::nullopt;
    const qsizetype row = qsizetype(width) * depth;
    for (int y = 0; y < int(height); ++y)
        std::memcpy(picture.scanLine(y), pixels + y * row, std::size_t(row));
    return Drawn{std::move(picture)};
}

} // namespace

QByteArray encodeRequest(const Request& request) {
    return std::visit(
        Overloaded{
            [](const OpenRequest& open) {
                return Writer(OpenKind).bytes(open.file.toUtf8()).bytes(open.password).take();
            },
            [](const LayoutRequest& layout) {
                return Writer(LayoutKind).u32(quint32(layout.page)).take();
            },
            [](const DrawRequest& draw) {
                return Writer(DrawKind).u32(quint32(draw.page)).f64(draw.dpi).take();
            }},
        request);
}

QByteArray encodeReply(const Reply& reply) {
    return std::visit(
        Overloaded{[](const Opened& opened) {
                       return Writer(OpenedKind)
                           .u32(quint32(opened.pageCount))
                           .u8(opened.locked ? 1 : 0)
                           .take();
                   },
                   [](const PageLayout& layout) {
                       Writer out(PageLayoutKind);
                       out.f64(layout.points.width()).f64(layout.points.height());
                       out.u32(quint32(layout.words.size()));
                       for (const PdfWord& word : layout.words)
                           out.bytes(word.text.toUtf8())
                               .f64(word.box.x())
                               .f64(word.box.y())
                               .f64(word.box.width())
                               .f64(word.box.height())
                               .u8(word.followsOnLine ? 1 : 0);
                       return out.take();
                   },
                   [](const Drawn& drawn) {
                       // A grey page (most scans) goes as a quarter of the bytes.
                       const bool grey = drawn.picture.allGray();
                       const QImage picture = drawn.picture.convertToFormat(
                           grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
                       const int depth = grey ? 1 : 4;
                       const qsizetype row = qsizetype(picture.width()) * depth;
                       Writer out(DrawnKind, 16 + row * picture.height());
                       out.u8(quint8(depth));
                       out.u32(quint32(picture.width())).u32(quint32(picture.height()));
                       for (int y = 0; y < picture.height(); ++y)
                           out.raw(reinterpret_cast<const char*>(picture.constScanLine(y)), row);
                       return out.take();
                   },
                   [](const Refused& refused) {
                       return Writer(RefusedKind).bytes(refused.reason.toUtf8()).take();
                   }},
        reply);
}

std::optional<Request> decodeRequest(const QByteArray& body) {
    if (body.isEmpty())
        return std::nullopt;
    Reader in(body);
    std::optional<Request> request;
    switch (body[0]) {
    case OpenKind: {
        OpenRequest open;
        open.file = QString::fromUtf8(in.bytes());
        open.password = in.bytes();
        request = std::move(open);
        break;
    }
    case LayoutKind:
        request = LayoutRequest{qint32(in.u32())};
        break;
    case DrawKind: {
        const auto page = qint32(in.u32());
        request = DrawRequest{page, in.f64()};
        break;
    }
    default:
        return std::nullopt;
    }
    return in.atEnd() ? request : std::nullopt;
}

std::optional<Reply> decodeReply(const QByteArray& body, qint64 maxPixels) {
    if (body.isEmpty())
        return std::nullopt;
    Reader in(body);
    switch (body[0]) {
    case OpenedKind: {
        const auto pageCount = qint32(in.u32());
        const bool locked = in.u8() != 0;
        if (!in.atEnd() || pageCount < 0)
            return std::nullopt;
        return Opened{pageCount, locked};
    }
    case PageLayoutKind:
        if (std::optional<PageLayout> layout = decodeLayout(in))
            return std::move(*layout);
        return std::nullopt;
    case DrawnKind:
        if (std::optional<Drawn> drawn = decodeDrawn(in, maxPixels))
            return std::move(*drawn);
        return std::nullopt;
    case RefusedKind: {
        Refused refused{QString::fromUtf8(in.bytes())};
        return in.atEnd() ? std::optional<Reply>(std::move(refused)) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

QByteArray frameHead(qsizetype bodySize) {
    char length[4];
    qToLittleEndian(quint32(bodySize), length);
    return QByteArray(length, 4);
}

QByteArray frame(const QByteArray& body) {
    return frameHead(body.size()) + body;
}

std::optional<QByteArray> readFrame(const ReadExactly& read, qsizetype maxBody) {
    char length[4];
    if (!read(length, 4))
        return std::nullopt;
    const quint32 size = qFromLittleEndian<quint32>(length);
    if (size > quint64(maxBody))
        return std::nullopt;
    QByteArray body(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !read(body.data(), body.size()))
        return std::nullopt;
    return body;
}

qsizetype maxReplyBody(qint64 maxPixels) {
    return MaxWordsBody + qsizetype(maxPixels) * MostBytesPerPixel;
}

} // namespace folimar::pdfpages
