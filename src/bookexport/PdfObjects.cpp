#include "bookexport/PdfObjects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <hpdf_objects.h>
#include <hpdf_streams.h>

namespace folimar::bookexport {

namespace {

constexpr int MostRangesInABlock = 100;
constexpr unsigned FirstSurrogate = 0xd8; // high bytes of codes that are no letters
constexpr unsigned LastSurrogate = 0xdf;

HeldJpeg& heldJpeg(HPDF_Stream stream) {
    return *static_cast<HeldJpeg*>(stream->attr);
}

HPDF_STATUS readJpeg(HPDF_Stream stream, HPDF_BYTE* into, HPDF_UINT* size) {
    HeldJpeg& jpeg = heldJpeg(stream);
    if (!jpeg.taken) {
        jpeg.taken = true;
        if (std::optional<QByteArray> bytes = jpeg.source->take(jpeg.index))
            jpeg.bytes = std::move(*bytes);
    }
    // Other bytes than the page was made for (or read again once let go) would make a
    // damaged file.
    if (jpeg.bytes.size() != jpeg.size) {
        *size = 0;
        return HPDF_FILE_IO_ERROR;
    }
    const qsizetype count = std::min<qsizetype>(*size, jpeg.bytes.size() - jpeg.position);
    std::memcpy(into, jpeg.bytes.constData() + jpeg.position, std::size_t(count));
    jpeg.position += count;
    *size = HPDF_UINT(count);
    if (jpeg.position < jpeg.size)
        return HPDF_OK;
    jpeg.bytes = QByteArray(); // written: its room goes back at once
    return HPDF_STREAM_EOF;
}

HPDF_STATUS seekJpeg(HPDF_Stream stream, HPDF_INT position, HPDF_WhenceMode from) {
    HeldJpeg& jpeg = heldJpeg(stream);
    const qsizetype base = from == HPDF_SEEK_SET   ? 0
                           : from == HPDF_SEEK_CUR ? jpeg.position
                                                   : jpeg.size;
    jpeg.position = std::clamp<qsizetype>(base + position, 0, jpeg.size);
    return HPDF_OK;
}

HPDF_INT32 tellJpeg(HPDF_Stream stream) {
    return HPDF_INT32(heldJpeg(stream).position);
}

HPDF_UINT32 jpegSize(HPDF_Stream stream) {
    return HPDF_UINT32(heldJpeg(stream).size);
}

constexpr qsizetype WritePiece = 1 << 20;

// The document on its way to a file: what the library gave, written a piece at a time.
struct DocumentOutput {
    QFile& file;
    QByteArray pending;
};

bool writePending(DocumentOutput& out) {
    const bool written = out.file.write(out.pending) == out.pending.size();
    out.pending.resize(0); // keeps its room for the next piece
    return written;
}

HPDF_STATUS writeToFile(HPDF_Stream stream, const HPDF_BYTE* bytes, HPDF_UINT size) {
    DocumentOutput& out = *static_cast<DocumentOutput*>(stream->attr);
    out.pending.append(reinterpret_cast<const char*>(bytes), qsizetype(size));
    return out.pending.size() < WritePiece || writePending(out) ? HPDF_OK : HPDF_FILE_IO_ERROR;
}

} // namespace

bool mapCodesToLetters(HPDF_Font font) {
    const auto map = static_cast<HPDF_Dict>(HPDF_Dict_GetItem(font, "ToUnicode", HPDF_OCLASS_DICT));
    if (!map || !map->stream)
        return false;
    // What the library wrote there is a map of characters to glyphs, which readers refuse
    // as a map to letters.
    HPDF_MemStream_FreeData(map->stream);
    for (const char* key : {"Type", "CMapName", "CIDSystemInfo", "WMode"})
        HPDF_Dict_RemoveElement(map, key);
    HPDF_STATUS written = HPDF_Stream_WriteStr(
        map->stream, "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
    unsigned highs[256];
    int count = 0;
    for (unsigned high = 0; high < 256; ++high)
        if (high < FirstSurrogate || high > LastSurrogate)
            highs[count++] = high;
    // Each range may change only the last byte of its codes.
    char line[40];
    for (int first = 0; first < count; first += MostRangesInABlock) {
        const int block = std::min(count - first, MostRangesInABlock);
        std::snprintf(line, sizeof line, "%d beginbfrange\n", block);
        written |= HPDF_Stream_WriteStr(map->stream, line);
        for (int i = first; i < first + block; ++i) {
            std::snprintf(line, sizeof line, "<%02X00> <%02XFF> <%02X00>\n", highs[i], highs[i],
                          highs[i]);
            written |= HPDF_Stream_WriteStr(map->stream, line);
        }
        written |= HPDF_Stream_WriteStr(map->stream, "endbfrange\n");
    }
    written |= HPDF_Stream_WriteStr(
        map->stream, "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
    return written == HPDF_OK;
}

HPDF_Image jpegImage(HPDF_Doc pdf, HeldJpeg& jpeg, const JpegFrame& frame) {
    const HPDF_Dict image = HPDF_DictStream_New(pdf->mmgr, pdf->xref);
    if (!image)
        return nullptr;
    const HPDF_Stream held =
        HPDF_CallbackReader_New(pdf->mmgr, readJpeg, seekJpeg, tellJpeg, jpegSize, &jpeg);
    if (!held)
        return nullptr;
    HPDF_Stream_Free(image->stream);
    image->stream = held;
    image->header.obj_class |= HPDF_OSUBCLASS_XOBJECT;
    image->filter = HPDF_STREAM_FILTER_DCT_DECODE;
    const char* colours = frame.components == 1   ? "DeviceGray"
                          : frame.components == 4 ? "DeviceCMYK"
                                                  : "DeviceRGB";
    HPDF_STATUS added = HPDF_Dict_AddName(image, "Type", "XObject");
    added |= HPDF_Dict_AddName(image, "Subtype", "Image");
    added |= HPDF_Dict_AddNumber(image, "Width", frame.width);
    added |= HPDF_Dict_AddNumber(image, "Height", frame.height);
    added |= HPDF_Dict_AddName(image, "ColorSpace", colours);
    added |= HPDF_Dict_AddNumber(image, "BitsPerComponent", 8);
    if (frame.components == 4) {
        // Inks as the programs that write such JPEGs store them: the other way round.
        const HPDF_Array decode = HPDF_Array_New(pdf->mmgr);
        added |= decode ? HPDF_Dict_Add(image, "Decode", decode) : HPDF_FAILD_TO_ALLOC_MEM;
        for (int i = 0; decode && i < 4; ++i) {
            added |= HPDF_Array_AddNumber(decode, 1);
            added |= HPDF_Array_AddNumber(decode, 0);
        }
    }
    return added == HPDF_OK ? image : nullptr;
}

bool writeDocument(HPDF_Doc pdf, QFile& file) {
    DocumentOutput out{file, {}};
    out.pending.reserve(2 * WritePiece);
    // The library writes its document to the stream it keeps for it: here one to the file.
    const HPDF_Stream stream = HPDF_CallbackWriter_New(pdf->mmgr, writeToFile, &out);
    if (!stream)
        return false;
    if (pdf->stream)
        HPDF_Stream_Free(pdf->stream);
    pdf->stream = stream;
    const bool saved = HPDF_SaveToStream(pdf) == HPDF_OK && writePending(out) && file.flush();
    pdf->stream = nullptr;
    HPDF_Stream_Free(stream);
    return saved;
}

} // namespace folimar::bookexport
