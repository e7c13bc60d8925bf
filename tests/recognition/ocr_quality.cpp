// ocr_quality FOLDER [PAGE...]: writes the recognition test pages into FOLDER (PNG pictures, each
// with its true text beside it as NAME.txt), reads each with the program's reader and
// with the `tesseract` program, and prints a table of the words each got right.
// Pages: clean at 300 dpi; turned 1, 2, 3 and 5 degrees; photographed (tinted paper,
// light falling off to one corner, slightly turned), and the same photographed at an angle
// on a dark table; 150 and 600 dpi; a numbered list. The last column says whether the
// page's outline was found (and the page seen square on before reading).
// Run it niced: it reads about ten pages twice. Naming pages reads only those.
#include "recognition/PageOutline.h"
#include "recognition/PageReader.h"
#include "recognition/RecognitionLanguages.h"
#include "support/TestPage.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cstdio>

using namespace folimar;

namespace {

const QString Language = QStringLiteral("eng");
constexpr int DotsPerMetreAt300Dpi = 11811;

QStringList proseLines() {
    const QStringList sentences{
        QStringLiteral("The reader opens the book at the page where she stopped"),
        QStringLiteral("yesterday, and the voice goes on with the next sentence"),
        QStringLiteral("while the picture of the scanned page stays beside it."),
        QStringLiteral("Every word that was read from the picture keeps its place,"),
        QStringLiteral("so that the sentence being spoken can be shown on the page."),
        QStringLiteral("Seven quiet rivers cross the green valley below the hills,"),
        QStringLiteral("where farmers bring their bread and cheese to the market."),
    };
    QStringList lines;
    for (int i = 0; i < 20; ++i)
        lines.append(i % 7 == 6 ? QString() : sentences[i % sentences.size()]);
    return lines;
}

QStringList listLines() {
    return {QStringLiteral("Before you start"),
            QString(),
            QStringLiteral("1. Open the book window and paste the page."),
            QStringLiteral("2. Press Text to read the words of the page."),
            QStringLiteral("3. Correct what was misread in the reader."),
            QStringLiteral("4. Press F9 to keep the page in the book."),
            QString(),
            QStringLiteral("The pages are kept in the order they were made.")};
}

QImage atDpi(const QImage& page, int dpi) {
    QImage scaled =
        page.scaled(page.size() * dpi / 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDotsPerMeterX(DotsPerMetreAt300Dpi * dpi / 300);
    scaled.setDotsPerMeterY(DotsPerMetreAt300Dpi * dpi / 300);
    return scaled;
}

QStringList wordsOf(const QString& text) {
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// The share of the true words read, in order (their longest common run).
double wordsRight(const QString& truth, const QString& read) {
    const QStringList expected = wordsOf(truth);
    const QStringList got = wordsOf(read);
    std::vector<int> previous(got.size() + 1, 0);
    std::vector<int> current(got.size() + 1, 0);
    for (qsizetype i = 1; i <= expected.size(); ++i) {
        for (qsizetype j = 1; j <= got.size(); ++j)
            current[j] = expected[i - 1] == got[j - 1] ? previous[j - 1] + 1
                                                       : std::max(previous[j], current[j - 1]);
        std::swap(previous, current);
    }
    return expected.isEmpty() ? 1.0 : double(previous[got.size()]) / double(expected.size());
}

QString programReading(const QString& tesseract, const QString& picture, const QString& out) {
    QProcess::execute(tesseract, {picture, out, QStringLiteral("-l"), Language,
                                  QStringLiteral("--psm"), QStringLiteral("3")});
    QFile file(out + QStringLiteral(".txt"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: ocr_quality FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    const QString tesseract = QStandardPaths::findExecutable(QStringLiteral("tesseract"));
    const QSize halfA4(2480, 1754);
    const testing::TestPage level = testing::makeTestPage(proseLines(), halfA4, 0);

    struct Page {
        QString name;
        QImage picture;
        QString truth;
    };
    std::vector<Page> pages{{QStringLiteral("clean-300dpi"), level.image, level.text}};
    for (const double degrees : {1.0, 2.0, 3.0, 5.0}) {
        const testing::TestPage turned = testing::makeTestPage(proseLines(), halfA4, degrees);
        pages.push_back({QStringLiteral("turned-%1deg").arg(degrees), turned.image, turned.text});
    }
    const testing::TestPage slanted = testing::makeTestPage(proseLines(), halfA4, 1.5);
    pages.push_back({QStringLiteral("photo"), testing::photographed(slanted.image), slanted.text});
    const QPolygonF atAngle{QPointF(260, 140), QPointF(2560, 200), QPointF(2720, 1980),
                            QPointF(110, 1930)};
    const testing::TestPage angled =
        testing::photographedAtAngle(slanted, QSize(2840, 2120), atAngle);
    pages.push_back({QStringLiteral("photo-at-angle"), angled.image, angled.text});
    pages.push_back({QStringLiteral("150dpi"), atDpi(level.image, 150), level.text});
    pages.push_back({QStringLiteral("600dpi"), atDpi(level.image, 600), level.text});
    const testing::TestPage list = testing::makeTestPage(listLines(), halfA4, 0.3);
    pages.push_back({QStringLiteral("list"), list.image, list.text});

    std::printf("| Page | Folimar | `tesseract` program | Seen square on |\n|---|---|---|---|\n");
    QStringList only;
    for (int i = 2; i < argc; ++i)
        only.append(QString::fromLocal8Bit(argv[i]));
    for (const Page& page : pages) {
        if (!only.isEmpty() && !only.contains(page.name))
            continue;
        const QString picture = folder.filePath(page.name + QStringLiteral(".png"));
        page.picture.save(picture);
        QFile truth(folder.filePath(page.name + QStringLiteral(".txt")));
        if (truth.open(QIODevice::WriteOnly))
            truth.write(page.truth.toUtf8());
        recognition::ReadControl control;
        const QString ours =
            recognition::readPage(page.picture, recognition::tessdataFolder(), Language, control)
                .page.text;
        const QString theirs =
            tesseract.isEmpty()
                ? QString()
                : programReading(tesseract, picture, folder.filePath(page.name + ".tesseract"));
        const bool outlined =
            recognition::findPageOutline(page.picture.convertToFormat(QImage::Format_Grayscale8))
                .found;
        std::printf("| %s | %.1f %% | %.1f %% | %s |\n", qPrintable(page.name),
                    wordsRight(page.truth, ours) * 100, wordsRight(page.truth, theirs) * 100,
                    outlined ? "yes" : "no");
        std::fflush(stdout);
    }
    return 0;
}
