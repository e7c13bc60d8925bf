#pragma once

#include "bookexport/BookExport.h"
#include "bookexport/ExportedBook.h"
#include "bookexport/ReadAlongChoices.h"

namespace folimar::bookexport {

// Saves the book as an EPUB 3 whose pages read along: a page per topic with each sentence,
// as reading aloud splits them, in an element of its own; its sound as an MP3 spoken by
// espeak-ng; and a Media Overlay that ties each sentence to its stretch of the sound. The
// file appears only when complete: a failed or cancelled export leaves whatever was there
// before. Runs on the caller's thread; `cancelled` may be set from any other.
BookExportOutcome exportEpub(const ExportedBook& book, const ReadAlongChoices& choices,
                             const QString& outputPath, const BookExportProgress& progress,
                             const std::atomic<bool>& cancelled);

} // namespace folimar::bookexport
