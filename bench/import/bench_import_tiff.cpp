// bench_import_tiff: multi-page TIFFs made here, imported into a fresh book.
//   import.tiff_pages.1000     pages a minute importing a 1,000-page TIFF of small pictures
//   import.tiff_pages.10000    the same for 10,000 pages
//   import.tiff_pages.ratio    the second over the first: 100 % when a page costs the same
//                              wherever it lies in the file
//   import.scanned_tiff        a 100-page TIFF of scans, every page recognised
//   recognition.engine_once    the same 100 pictures read one after another by one reader,
//                              its engine loaded once
//   recognition.engine_once.baseline   the same with an engine loaded for each picture
// Options: --skip-tiff, --skip-scanned.
#include "BenchFigures.h"
#include "TimedImport.h"
#include "recognition/PageReader.h"
#include "recognition/RecognitionLanguages.h"
#include "support/ImportFiles.h"
#include "support/TestPage.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace folimar;

namespace {

double tiffPagesPerMinute(const QTemporaryDir& folder, int pages) {
    const QString tiff = folder.filePath(QStringLiteral("pages%1.tiff").arg(pages));
    QList<QImage> pictures;
    for (int i = 0; i < pages; ++i)
        pictures.append(testing::plainPicture({40, 50}, QColor::fromHsv(i % 360, 90, 230)));
    if (!testing::writeMultiPageTiff(tiff, pictures))
        return 0;
    pictures.clear();
    const QString book = folder.filePath(QStringLiteral("book%1").arg(pages));
    QDir().mkpath(book);
    const bench::Imported imported = bench::importInto(book, tiff, {});
    QFile::remove(tiff);
    if (imported.pages != pages) {
        std::fprintf(stderr, "bench_import_tiff: %d of %d pages imported\n", imported.pages, pages);
        return 0;
    }
    return pages * 60000.0 / imported.ms;
}

QList<QImage> scans(int count) {
    QList<QImage> pages;
    for (int i = 0; i < count; ++i)
        pages.append(
            testing::makeTestPage({QStringLiteral("Page %1 of the scanned book").arg(i + 1),
                                   QStringLiteral("holds a few words on two lines")},
                                  QSize(1000, 300), 0, 14, quint32(i + 1))
                .image);
    return pages;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTemporaryDir folder;

    if (!args.contains(QStringLiteral("--skip-tiff"))) {
        const double thousand = tiffPagesPerMinute(folder, 1000);
        std::printf("bench import.tiff_pages.1000 %.0f pages/min\n", thousand);
        const double tenThousand = tiffPagesPerMinute(folder, 10000);
        std::printf("bench import.tiff_pages.10000 %.0f pages/min\n", tenThousand);
        if (thousand > 0)
            std::printf("bench import.tiff_pages.ratio %.1f %%\n", 100.0 * tenThousand / thousand);
        std::fflush(stdout);
    }

    if (!args.contains(QStringLiteral("--skip-scanned"))) {
        const QString languages = QStringLiteral("eng");
        const QList<QImage> pages = scans(100);
        const QString tiff = folder.filePath(QStringLiteral("scans.tiff"));
        testing::writeMultiPageTiff(tiff, pages);
        QDir().mkpath(folder.filePath(QStringLiteral("scanned")));
        const bench::Imported imported =
            bench::importInto(folder.filePath(QStringLiteral("scanned")), tiff, languages);
        if (imported.pages != 100)
            std::fprintf(stderr, "bench_import_tiff: the scanned TIFF was not imported whole\n");
        bench::report("import.scanned_tiff", imported.ms);

        recognition::ReadControl control;
        const QString tessdata = recognition::tessdataFolder();
        bench::report("recognition.engine_once", bench::elapsedMs([&] {
                          recognition::PageReader reader;
                          for (const QImage& page : pages)
                              reader.read(page, tessdata, languages, control);
                      }));
        bench::report("recognition.engine_once", bench::elapsedMs([&] {
                          for (const QImage& page : pages)
                              recognition::readPage(page, tessdata, languages, control);
                      }),
                      true);
    }
    return 0;
}
