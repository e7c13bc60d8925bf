#include "bookexport/BookFormat.h"

#include "bookexport/EpubExport.h"
#include "bookexport/PdfExport.h"

#include <QFileInfo>

namespace folimar::bookexport {

std::optional<BookFormat> bookFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return BookFormat::SearchablePdf;
    if (suffix == QLatin1String("epub"))
        return BookFormat::ReadAlongEpub;
    return std::nullopt;
}

QString bookFormatEndings() {
    return QStringLiteral(".pdf or .epub");
}

QString bookFormatName(BookFormat format) {
    switch (format) {
    case BookFormat::SearchablePdf:
        return QStringLiteral("Searchable PDF");
    case BookFormat::ReadAlongEpub:
        return QStringLiteral("Read-along Book (EPUB 3)");
    }
    return {};
}

QString bookFormatFilter(BookFormat format) {
    switch (format) {
    case BookFormat::SearchablePdf:
        return QStringLiteral("PDF document (*.pdf)");
    case BookFormat::ReadAlongEpub:
        return QStringLiteral("EPUB book (*.epub)");
    }
    return {};
}

QString bookFormatSuffix(BookFormat format) {
    switch (format) {
    case BookFormat::SearchablePdf:
        return QStringLiteral(".pdf");
    case BookFormat::ReadAlongEpub:
        return QStringLiteral(".epub");
    }
    return {};
}

BookExportWork exportWork(BookFormat format, ExportedBook book, const QString& outputPath,
                          const ReadAlongChoices& choices) {
    switch (format) {
    case BookFormat::SearchablePdf:
        return [book = std::move(book), outputPath](const BookExportProgress& progress,
                                                    const std::atomic<bool>& cancelled) {
            return exportPdf(book, outputPath, progress, cancelled);
        };
    case BookFormat::ReadAlongEpub:
        return [book = std::move(book), outputPath, choices](const BookExportProgress& progress,
                                                             const std::atomic<bool>& cancelled) {
            return exportEpub(book, choices, outputPath, progress, cancelled);
        };
    }
    return {};
}

} // namespace folimar::bookexport
