#pragma once

#include "pdfpages/PdfPageMessages.h"
#include "recognition/PageText.h"

#include <vector>

namespace folimar::import {

// A PDF page's own text, from its words in reading order, with each word's box scaled
// from points to the pixels of the page rendered at `dpi`. Lines of a paragraph are
// joined by a space and a word hyphenated at a line's end is joined again; a gap between
// lines taller than a line starts a new paragraph.
recognition::PageText textLayerText(const std::vector<pdfpages::PdfWord>& words, double dpi);

} // namespace folimar::import
