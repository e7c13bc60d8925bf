// bench_converter [FOLDER]: writes a 2480 x 3508 24-bit page bitmap (A4 at 300 dpi: strokes of
// text on white, with scanner noise), then times "bmp2jpg -Q75" and, as the baseline,
// "cjpeg -quality 75" on it; median of 5 runs each.
#include "BenchFigures.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

using folimar::bench::median;

namespace {

constexpr int pageWidth = 2480;
constexpr int pageHeight = 3508;
constexpr int runs = 5;

void put32(QByteArray& bytes, int at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}

// Lines of "words" (dark blocks of thin vertical strokes) on white paper, plus noise.
QByteArray pageBitmap() {
    const int stride = (pageWidth * 3 + 3) / 4 * 4;
    const int offset = 54;
    QByteArray bytes(offset + stride * pageHeight, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, quint32(bytes.size()));
    put32(bytes, 10, offset);
    put32(bytes, 14, 40);
    put32(bytes, 18, pageWidth);
    put32(bytes, 22, pageHeight);
    qToLittleEndian(quint16(1), bytes.data() + 26);
    qToLittleEndian(quint16(24), bytes.data() + 28);

    std::mt19937 random(1729);
    std::vector<unsigned char> ink(pageWidth);
    for (int y = 0; y < pageHeight; ++y) {
        const int lineRow = (y - 200) % 60;
        const bool inText = y >= 200 && y < pageHeight - 200 && lineRow < 36;
        if (lineRow == 0) { // a new line of text: new words
            std::fill(ink.begin(), ink.end(), 0);
            for (int x = 250; x < pageWidth - 250;) {
                const int word = 40 + int(random() % 200);
                for (int i = x; i < std::min(x + word, pageWidth - 250); ++i)
                    ink[i] = (random() % 5 < 2) ? 1 : 0;
                x += word + 25;
            }
        }
        unsigned char* row =
            reinterpret_cast<unsigned char*>(bytes.data()) + offset + (pageHeight - 1 - y) * stride;
        for (int x = 0; x < pageWidth; ++x) {
            const int noise = int(random() % 24);
            const int value = inText && ink[x] ? 20 + noise : 255 - noise;
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = static_cast<unsigned char>(value);
        }
    }
    return bytes;
}

// Milliseconds for one run, or nothing when the program failed.
std::optional<double> timeRun(const QString& program, const QStringList& arguments,
                              const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "bench_converter: %s failed: %s\n", qPrintable(program),
                     process.readAllStandardError().constData());
        return std::nullopt;
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QFile bmp(QDir(folder).filePath("page.bmp"));
    const QByteArray page = pageBitmap();
    if (!bmp.open(QIODevice::WriteOnly) || bmp.write(page) != page.size()) {
        std::fprintf(stderr, "bench_converter: cannot write %s\n", qPrintable(bmp.fileName()));
        return 1;
    }
    bmp.close();

    const QString converter = QCoreApplication::applicationDirPath() + "/bmp2jpg";
    const QString baseline = "/usr/bin/cjpeg";
    const bool haveBaseline = QFile::exists(baseline);
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int i = 0; i < runs; ++i) {
        const auto mine = timeRun(converter, {"-Q75", "page.bmp"}, folder);
        if (!mine)
            return 1;
        ours.push_back(*mine);
        if (!haveBaseline)
            continue;
        const auto other =
            timeRun(baseline, {"-quality", "75", "-outfile", "cjpeg.jpg", "page.bmp"}, folder);
        if (!other)
            return 1;
        theirs.push_back(*other);
    }
    std::printf("bench convert_a4 %.1f ms\n", median(ours));
    if (haveBaseline)
        std::printf("bench convert_a4.baseline %.1f ms\n", median(theirs));
    else
        std::fprintf(stderr, "bench_converter: %s missing, no baseline\n", qPrintable(baseline));
    return 0;
}
