#include "bookexport/BookFormat.h"

#include "bookexport/PdfExport.h"

#include <QFileInfo>

namespace folimar::bookexport {

std::optional<BookFormat> bookFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return BookFormat::SearchablePdf;
    return std::nullopt;
}

QString bookFormatEndings() {
    return QStringLiteral(".pdf");
}

QString bookFormatName(BookFormat format) {
    switch (format) {
    case BookFormat::SearchablePdf:
        return QStringLiteral("Searchable PDF");
    }
    return {};
}

QString bookFormatFilter(BookFormat format) {
    switch (format) {
    case BookFormat::SearchablePdf:
        return QStringLiteral("PDF document (*.pdf)");
    }
    return {};
}

QString bookFormatSuffix(BookFormat format) {
    switch (format) {
    case BookFormat::SearchablePdf:
        return QStringLiteral(".pdf");
    }
    return {};
}

BookExportWork exportWork(BookFormat format, ExportedBook book, const QString& outputPath) {
    switch (format) {
    case BookFormat::SearchablePdf:
        return [book = std::move(book), outputPath](const BookExportProgress& progress,
                                                    const std::atomic<bool>& cancelled) {
            return exportPdf(book, outputPath, progress, cancelled);
        };
    }
    return {};
}

} // namespace folimar::bookexport
