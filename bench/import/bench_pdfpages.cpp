// bench_pdfpages: what drawing PDF pages in a helper process costs.
//   import.pdf_pages_helper           the pages of a 20-page A4 PDF of scans, each read and
//                                     drawn at 300 dpi by the PDF page helper into this
//                                     process (its words, then its picture), as an import
//                                     makes them before recognition
//   import.pdf_pages_helper.baseline  the same pages read and drawn by the PDF library in
//                                     this process, as imports did before the helper
// Options: --pages N (default 20).
#include "BenchFigures.h"
#include "import/PageMaker.h"
#include "import/PdfFile.h"
#include "support/ImportFiles.h"
#include "support/TestPage.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <poppler-qt6.h>

using namespace folimar;

namespace {

int drawnByHelper(const QString& pdf) {
    int drawn = 0;
    import::PdfOpening opening = import::openPdf(pdf, {}, {}, import::ImportPagePixels);
    for (int page = 0; opening.file && page < opening.file->pageCount(); ++page) {
        const auto layout = opening.file->layout(page);
        if (const auto* read = std::get_if<pdfpages::PageLayout>(&layout))
            drawn += std::holds_alternative<QImage>(
                opening.file->draw(page, import::PageMaker::ScanDpi, read->points));
    }
    return drawn;
}

int drawnHere(const QString& pdf) {
    int drawn = 0;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(pdf);
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    for (int page = 0; page < document->numPages(); ++page) {
        const std::unique_ptr<Poppler::Page> read = document->page(page);
        const auto words = read->textList();
        drawn += !read->renderToImage(import::PageMaker::ScanDpi, import::PageMaker::ScanDpi)
                      .convertToFormat(QImage::Format_RGB32)
                      .isNull();
    }
    return drawn;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int pages = args.contains(QStringLiteral("--pages"))
                          ? args.value(args.indexOf(QStringLiteral("--pages")) + 1).toInt()
                          : 20;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("scan.pdf"));
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines.append(QStringLiteral("Line %1 of a scanned page, read aloud later on.").arg(i));
    const QImage scan = testing::makeTestPage(lines, QSize(2480, 3508))
                            .image.convertToFormat(QImage::Format_Grayscale8);
    testing::writeScannedPdf(pdf, QList<QImage>(pages, scan), QSizeF(8.27, 11.69));

    int drawn = 0;
    const double helper = bench::elapsedMs([&] { drawn = drawnByHelper(pdf); });
    int here = 0;
    const double baseline = bench::elapsedMs([&] { here = drawnHere(pdf); });
    if (drawn != pages || here != pages) {
        std::fprintf(stderr, "bench_pdfpages: %d and %d of %d pages were drawn\n", drawn, here,
                     pages);
        return 1;
    }
    bench::report("import.pdf_pages_helper", helper);
    bench::report("import.pdf_pages_helper", baseline, true);
    return 0;
}
