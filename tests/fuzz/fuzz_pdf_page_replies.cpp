// What the PDF page helper answers, as the program reads it while it plans and makes the
// pages of a PDF: any bytes as a stream of frames. No frame may be taken past its bound, a
// picture past its pixels, or a word past the numbers a box holds; what decodes encodes
// back to the same. The helper's own reading of requests gets the same bytes.
#include "pdfpages/PdfPageMessages.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using namespace folimar::pdfpages;

constexpr qint64 MaxPixels = 64 * 64;

void check(const Reply& reply) {
    if (const auto* drawn = std::get_if<Drawn>(&reply)) {
        const qint64 pixels = qint64(drawn->picture.width()) * drawn->picture.height();
        if (pixels <= 0 || pixels > MaxPixels)
            __builtin_trap();
    }
    if (const auto* layout = std::get_if<PageLayout>(&reply)) {
        for (const PdfWord& word : layout->words)
            if (!std::isfinite(word.box.x()) || !std::isfinite(word.box.width()))
                __builtin_trap();
        const std::optional<Reply> again = decodeReply(encodeReply(reply), MaxPixels);
        if (!again || std::get<PageLayout>(*again).words.size() != layout->words.size())
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qsizetype at = 0;
    const ReadExactly read = [&](char* into, qsizetype wanted) {
        if (wanted > qsizetype(size) - at)
            return false;
        std::memcpy(into, data + at, std::size_t(wanted));
        at += wanted;
        return true;
    };
    const qsizetype maxBody = qsizetype(size) + 16; // small, so that a long claim is refused
    while (const std::optional<QByteArray> body = readFrame(read, maxBody)) {
        if (body->size() > maxBody)
            __builtin_trap();
        if (const std::optional<Reply> reply = decodeReply(*body, MaxPixels))
            check(*reply);
        if (const std::optional<Request> request = decodeRequest(*body))
            if (decodeRequest(encodeRequest(*request))->index() != request->index())
                __builtin_trap();
    }
    return 0;
}
