#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace folimar::pdfpages {

// The messages between the program and the helper that reads PDF pages for it. Each goes
// as a frame: its length (4 bytes, little-endian), then a kind byte and its fields. Numbers
// are little-endian; a string is its UTF-8 length (4 bytes) and bytes.

// One word of a page's own text, its box in points from the page's top left corner.
struct PdfWord {
    QString text;
    QRectF box;
    bool followsOnLine = false; // the word after the one before it on the same line
    friend bool operator==(const PdfWord&, const PdfWord&) = default;
};

// What the program asks.
struct OpenRequest { // open a PDF; every later request is about it
    QString file;
    QByteArray password;
};
struct LayoutRequest { // a page's size and words
    qint32 page = 0;
};
struct DrawRequest { // a page's picture at a resolution
    qint32 page = 0;
    double dpi = 0;
};
using Request = std::variant<OpenRequest, LayoutRequest, DrawRequest>;

// What the helper answers.
struct Opened {
    qint32 pageCount = 0;
    bool locked = false; // the password given does not open it
};
struct PageLayout {
    QSizeF points;
    std::vector<PdfWord> words;
};
struct Drawn {
    QImage picture; // RGB32, or Grayscale8 for a grey page
};
struct Refused { // the request cannot be met, and why, in words for the user
    QString reason;
};
using Reply = std::variant<Opened, PageLayout, Drawn, Refused>;

QByteArray encodeRequest(const Request& request);
QByteArray encodeReply(const Reply& reply);
// A message's body (the frame without its length) decoded; nothing for one that is not
// whole and well formed. A picture of more than `maxPixels` pixels is not well formed.
std::optional<Request> decodeRequest(const QByteArray& body);
std::optional<Reply> decodeReply(const QByteArray& body, qint64 maxPixels);

// The frame around a body, and its head alone (for a body written on its own).
QByteArray frame(const QByteArray& body);
QByteArray frameHead(qsizetype bodySize);
// Reads `size` bytes into `into`; false at the end of the stream or on a failure.
using ReadExactly = std::function<bool(char* into, qsizetype size)>;
// The body of the next frame; nothing when the stream ends or fails first, or the frame
// says it is longer than `maxBody` (nothing of it is then read or held).
std::optional<QByteArray> readFrame(const ReadExactly& read, qsizetype maxBody);

// The longest body of a reply carrying a picture of `maxPixels` pixels, or the words of a
// page (a page's text is bounded by this as well).
qsizetype maxReplyBody(qint64 maxPixels);
// Why a page is given up when drawing it would take more memory than the helper may have.
inline constexpr QStringView PastTheMemory = u"the page needs more memory than a page may have";

// The longest request body: a path and a password.
inline constexpr qsizetype MaxRequestBody = 1 << 20;

} // namespace folimar::pdfpages
