// bench_ocr: an A4 page at 300 dpi (2480 x 3508), drawn with about forty lines of text,
// turned slightly and speckled, saved as a JPEG as a pasted page is.
//   ocr.a4_page           reading its text through the book window's path (decode, read)
//   ocr.a4_page.baseline  the `tesseract` program on the same picture, same language (and,
//                         as a comment, the program kept to one thread, as our reading is)
//   ocr.prepare           finding the page's skew and turning a copy level, before reading
//                         (its baseline: ocr.a4_page, of which it should stay a small part)
//   ocr.event_loop_stall  the longest gap between 5 ms timer ticks while a page is read
//   ocr.event_loop_stall.baseline  the same for as long with nothing being read
// Medians of three runs; the character error rate of the reading is printed as a comment.
#include "BenchFigures.h"
#include "bookwindow/PagePicture.h"
#include "recognition/PagePreparation.h"
#include "recognition/PageReader.h"
#include "recognition/RecognitionLanguages.h"
#include "recognition/TextRecognition.h"
#include "support/TestPage.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

using namespace folimar;

namespace {

constexpr int Runs = 3;
const QString Language = QStringLiteral("eng");

QStringList pageLines() {
    const QStringList sentences{
        QStringLiteral("The reader opens the book at the page where she stopped"),
        QStringLiteral("yesterday, and the voice goes on with the next sentence"),
        QStringLiteral("while the picture of the scanned page stays beside it."),
        QStringLiteral("Every word that was read from the picture keeps its place,"),
        QStringLiteral("so that the sentence being spoken can be shown on the page"),
    };
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines.append(i % 8 == 7 ? QString() : sentences[i % sentences.size()]);
    return lines;
}

// The longest gap between 5 ms timer ticks while `begin` runs and until `finished` fires.
template <typename Source, typename Signal>
double longestStall(Source* source, Signal finished, const std::function<void()>& begin) {
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, double(sinceTick.nsecsElapsed()) / 1e6 - 5.0);
        sinceTick.restart();
    });
    QEventLoop loop;
    QObject::connect(source, finished, &loop, &QEventLoop::quit);
    sinceTick.start();
    ticker.start();
    begin();
    loop.exec();
    return std::max(0.0, longest);
}

struct Stalls {
    double reading = 0;
    double idle = 0; // the same time with nothing to do: what the machine itself costs
};

Stalls stallsWhileReading(const QByteArray& jpeg) {
    bookwindow::PagePicture page;
    page.load(jpeg);
    recognition::TextRecognition recognition(recognition::tessdataFolder());
    QElapsedTimer took;
    took.start();
    Stalls stalls;
    stalls.reading = longestStall(&recognition, &recognition::TextRecognition::finished, [&] {
        recognition.start([page] { return page.render(page.naturalSize()); }, Language);
    });
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(int(took.elapsed()));
    stalls.idle = longestStall(&idle, &QTimer::timeout, [&] { idle.start(); });
    return stalls;
}

// The `tesseract` program reading the picture as the book window does (same language, the
// page's layout found), its text written beside it; as it comes, or held to one thread.
void runProgram(const QString& tesseract, const QString& picturePath, bool oneThread) {
    QProcess program;
    if (oneThread) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
        program.setProcessEnvironment(environment);
    }
    program.start(tesseract, {picturePath, picturePath + QStringLiteral(".out"),
                              QStringLiteral("-l"), Language, QStringLiteral("--psm"),
                              QStringLiteral("3")});
    program.waitForFinished(-1);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString tesseract = QStandardPaths::findExecutable(QStringLiteral("tesseract"));
    QTemporaryDir folder;
    const testing::TestPage page = testing::makeTestPage(pageLines(), QSize(2480, 3508));
    const QString picturePath = folder.filePath(QStringLiteral("page.jpg"));
    if (!page.image.save(picturePath, "JPG", 90)) {
        std::fprintf(stderr, "bench_ocr: could not write %s\n", qPrintable(picturePath));
        return 1;
    }
    QFile file(picturePath);
    file.open(QIODevice::ReadOnly);
    const QByteArray jpeg = file.readAll();
    bookwindow::PagePicture picture;
    picture.load(jpeg);

    std::vector<double> ours;
    std::vector<double> baseline;
    std::vector<double> programOnOneThread;
    QString text;
    for (int run = 0; run < Runs; ++run) {
        ours.push_back(bench::elapsedMs([&] {
            recognition::ReadControl control;
            text = recognition::readPage(picture.render(picture.naturalSize()),
                                         recognition::tessdataFolder(), Language, control)
                       .page.text;
        }));
        if (!tesseract.isEmpty()) {
            baseline.push_back(
                bench::elapsedMs([&] { runProgram(tesseract, picturePath, false); }));
            programOnOneThread.push_back(
                bench::elapsedMs([&] { runProgram(tesseract, picturePath, true); }));
        }
    }
    const QImage grey =
        picture.render(picture.naturalSize()).convertToFormat(QImage::Format_Grayscale8);
    std::vector<double> preparing;
    for (int run = 0; run < Runs; ++run)
        preparing.push_back(bench::elapsedMs([&] {
            recognition::lightIsUneven(grey);
            recognition::preparePage(grey);
        }));
    bench::report("ocr.prepare", bench::median(preparing));
    bench::report("ocr.prepare", bench::median(ours), true);
    bench::report("ocr.a4_page", bench::median(ours));
    if (!baseline.empty())
        bench::report("ocr.a4_page", bench::median(baseline), true);
    else
        std::fprintf(stderr, "bench_ocr: no `tesseract` program for the baseline\n");
    if (!programOnOneThread.empty())
        std::printf("# ocr.a4_page the tesseract program kept to one thread: %.3f ms\n",
                    bench::median(programOnOneThread));
    std::printf("# ocr.a4_page character error rate %.3f %%\n",
                testing::characterErrorRate(page.text, text) * 100);

    std::vector<double> reading;
    std::vector<double> idle;
    for (int run = 0; run < Runs; ++run) {
        const Stalls stalls = stallsWhileReading(jpeg);
        reading.push_back(stalls.reading);
        idle.push_back(stalls.idle);
    }
    bench::report("ocr.event_loop_stall", bench::median(reading));
    bench::report("ocr.event_loop_stall", bench::median(idle), true);
    return 0;
}
