#pragma once

#include "bookexport/BookExport.h"
#include "bookexport/ExportedBook.h"

namespace folimar::bookexport {

// Saves the book as a searchable PDF: a page per topic with a picture, at the picture's own
// size and resolution, its JPEG as stored and its text invisible over the words; a topic
// without a picture as pages of text. The file appears only when complete: a failed or
// cancelled export leaves whatever was there before. Runs on the caller's thread;
// `cancelled` may be set from any other.
BookExportOutcome exportPdf(const ExportedBook& book, const QString& outputPath,
                            const BookExportProgress& progress, const std::atomic<bool>& cancelled);

} // namespace folimar::bookexport
