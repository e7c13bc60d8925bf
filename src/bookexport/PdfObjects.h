#pragma once

#include "bookexport/JpegDensity.h"

#include <QByteArray>
#include <QFile>
#include <hpdf.h>

namespace folimar::bookexport {

// Objects of a PDF that the PDF library makes wrongly or slowly, made here through its
// lower calls.

// Gives the font of UTF-8 text a map from its codes back to the letters that text
// extraction reads cleanly: the codes are the letters' own numbers. False when the font
// has no such map to give.
bool mapCodesToLetters(HPDF_Font font);

// JPEG bytes that a picture object of a document reads as the document is written.
struct HeldJpeg {
    QByteArray bytes;
    qsizetype position = 0;
};

// A picture object of the document that shows `jpeg.bytes` as they are, read from there
// only when the document is written (without a copy held meanwhile): `jpeg` must stay
// where it is until then. None when the document cannot take another object.
HPDF_Image jpegImage(HPDF_Doc pdf, HeldJpeg& jpeg, const JpegFrame& frame);

// Writes the document to `file` in large pieces (the library's own file writing goes a few
// thousand bytes at a time). False when the document or the file fails.
bool writeDocument(HPDF_Doc pdf, QFile& file);

} // namespace folimar::bookexport
