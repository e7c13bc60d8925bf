#pragma once

#include "bookexport/JpegDensity.h"
#include "bookexport/JpegSource.h"

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

// The JPEG of a picture object, taken from its source only when the document is written
// and let go as soon as it is.
struct HeldJpeg {
    JpegSource* source = nullptr;
    qsizetype index = 0;
    qsizetype size = 0; // of the bytes to come, known before them
    QByteArray bytes{};
    qsizetype position = 0;
    bool taken = false;
};

// A picture object of the document that shows the bytes of `jpeg` as they are: `jpeg`
// must stay where it is until the document is written. None when the document cannot
// take another object.
HPDF_Image jpegImage(HPDF_Doc pdf, HeldJpeg& jpeg, const JpegFrame& frame);

// Writes the document to `file` in large pieces (the library's own file writing goes a few
// thousand bytes at a time). False when the document or the file fails.
bool writeDocument(HPDF_Doc pdf, QFile& file);

} // namespace folimar::bookexport
