// bench_import: PDFs made here with Qt's PDF writer, imported into a fresh book.
//   import.pdf_text              a 100-page A4 PDF with a text layer
//   import.pdf_text.baseline     `pdftoppm -r 150 -jpeg` of the same file
//   import.pdf_scanned           a 20-page A4 PDF of scans, every page recognised
//   import.pdf_scanned.baseline  `pdftoppm -r 300` of it, then the `tesseract` program on
//                                each page, one after another
//   import.peak_memory           the peak resident memory of a process importing a
//                                1,000-page PDF with a text layer, in MB
// Options: --scanned-pages N (default 20), --skip-scanned, --skip-memory.
#include "BenchFigures.h"
#include "TimedImport.h"
#include "support/TestPage.h"

#include <QDir>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace folimar;

namespace {

const QStringList Sentences{
    QStringLiteral("The reader opens the book at the page where she stopped"),
    QStringLiteral("yesterday, and the voice goes on with the next sentence"),
    QStringLiteral("while the picture of the scanned page stays beside it."),
    QStringLiteral("Every word that was read from the picture keeps its place,"),
    QStringLiteral("so that the sentence being spoken can be shown on the page")};

QStringList pageLines(int lines) {
    QStringList page;
    for (int i = 0; i < lines; ++i)
        page.append(i % 8 == 7 ? QString() : Sentences[i % Sentences.size()]);
    return page;
}

void writeTextPdf(const QString& path, int pages) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.setFont(QFont(QStringLiteral("DejaVu Serif"), 11));
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        int baseline = 60;
        for (const QString& line : pageLines(45)) {
            painter.drawText(60, baseline, line);
            baseline += 16;
        }
    }
}

void writeScannedPdf(const QString& path, int pages) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    QPainter painter(&writer);
    const QImage scan = testing::makeTestPage(pageLines(40), QSize(2480, 3508))
                            .image.convertToFormat(QImage::Format_Grayscale8);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.drawImage(QRect(0, 0, 2480, 3508), scan);
    }
}

double run(const QString& program, const QStringList& arguments) {
    return bench::elapsedMs([&] { QProcess::execute(program, arguments); });
}

int memoryChild(const QString& pdf) {
    QTemporaryDir book;
    const int imported = bench::importInto(book.path(), pdf, {}).pages;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%d %ld\n", imported, usage.ru_maxrss);
    return imported > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--memory-child"))
        return memoryChild(args[2]);
    const int scannedPages =
        args.contains(QStringLiteral("--scanned-pages"))
            ? args.value(args.indexOf(QStringLiteral("--scanned-pages")) + 1).toInt()
            : 20;
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    const QString tesseract = QStandardPaths::findExecutable(QStringLiteral("tesseract"));
    QTemporaryDir folder;
    const auto path = [&](const char* name) { return folder.filePath(QLatin1String(name)); };

    const QString textPdf = path("text.pdf");
    writeTextPdf(textPdf, 100);
    QDir().mkpath(path("book1"));
    const bench::Imported text = bench::importInto(path("book1"), textPdf, {});
    if (text.pages != 100)
        std::fprintf(stderr, "bench_import: the text PDF was not imported whole\n");
    bench::report("import.pdf_text", text.ms);
    if (!pdftoppm.isEmpty()) {
        QDir().mkpath(path("pages1"));
        bench::report("import.pdf_text",
                      run(pdftoppm, {QStringLiteral("-r"), QStringLiteral("150"),
                                     QStringLiteral("-jpeg"), textPdf, path("pages1/p")}),
                      true);
    }

    if (!args.contains(QStringLiteral("--skip-scanned")) && scannedPages > 0) {
        const QString scanPdf = path("scan.pdf");
        writeScannedPdf(scanPdf, scannedPages);
        QDir().mkpath(path("book2"));
        bench::report("import.pdf_scanned",
                      bench::importInto(path("book2"), scanPdf, QStringLiteral("eng")).ms);
        if (!pdftoppm.isEmpty() && !tesseract.isEmpty()) {
            QDir().mkpath(path("pages2"));
            const double baseline = bench::elapsedMs([&] {
                QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("300"),
                                             QStringLiteral("-png"), scanPdf, path("pages2/p")});
                for (const QString& page : QDir(path("pages2")).entryList(QDir::Files))
                    QProcess::execute(tesseract,
                                      {QDir(path("pages2")).filePath(page), path("pages2/out"),
                                       QStringLiteral("-l"), QStringLiteral("eng")});
            });
            bench::report("import.pdf_scanned", baseline, true);
        }
    }

    if (!args.contains(QStringLiteral("--skip-memory"))) {
        const QString longPdf = path("long.pdf");
        writeTextPdf(longPdf, 1000);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--memory-child"), longPdf});
        child.waitForFinished(-1);
        const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(u' ');
        if (figures.size() == 2 && figures[0].toInt() == 1000)
            std::printf("bench import.peak_memory %.1f MB\n", figures[1].toDouble() / 1024.0);
        else
            std::fprintf(stderr, "bench_import: the 1,000-page PDF was not imported whole\n");
    }
    return 0;
}
