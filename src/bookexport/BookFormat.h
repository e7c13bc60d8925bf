#pragma once

#include "bookexport/BookExport.h"
#include "bookexport/ExportedBook.h"
#include "bookexport/ReadAlongChoices.h"

#include <optional>

namespace folimar::bookexport {

enum class BookFormat { SearchablePdf, ReadAlongEpub };

// By the file name's extension (".pdf", ".epub"); none for anything else.
std::optional<BookFormat> bookFormatOf(const QString& path);
// The extensions an export can end in, for a message: ".pdf or .epub".
QString bookFormatEndings();
// The format's name as a window title ("Searchable PDF"), its file dialog filter and the
// extension its files end in (".pdf").
QString bookFormatName(BookFormat format);
QString bookFormatFilter(BookFormat format);
QString bookFormatSuffix(BookFormat format);

// The export of `book` to `outputPath` in `format`, for a job to run; a read-along book
// speaks and shows as `choices` say.
BookExportWork exportWork(BookFormat format, ExportedBook book, const QString& outputPath,
                          const ReadAlongChoices& choices);

} // namespace folimar::bookexport
