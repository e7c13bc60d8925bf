// Saving books for other programs, by the folimar program from the terminal:
// - a searchable PDF of a 200-page book of scans (300 words a page, each with its box),
//   beside img2pdf putting the same JPEGs into a PDF (the baseline), and the PDF's size
//   as a share of img2pdf's;
// - a read-along EPUB of 20 topics of 150 words, beside the espeak-ng program speaking each
//   topic to a WAV file and the lame program making it MP3 (the baseline).
// The baselines' programs come from bench/deps; a missing one leaves its line out. Its
// files go to a temporary folder, or to the folder given as its argument; with --pdf it
// measures the PDF alone.
#include "BenchFigures.h"
#include "recognition/WordBoxBlob.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TestPage.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

using namespace folimar;

namespace {

constexpr int PdfPages = 200;
constexpr int DistinctPages = 20; // pictures drawn, then used again in turn
constexpr int EpubTopics = 20;
constexpr int EpubWords = 150;

QStringList pageLines(int seed) {
    const QStringList vocabulary =
        QStringLiteral("the river rose slowly through the night and by morning water reached "
                       "old mill where people of village gathered to watch as carts carried "
                       "grain towards higher ground while children ran along fields")
            .split(QLatin1Char(' '));
    QStringList lines;
    for (int line = 0; line < 30; ++line) {
        QStringList words;
        for (int word = 0; word < 10; ++word)
            words << vocabulary[(seed * 31 + line * 10 + word * 7) % vocabulary.size()];
        lines << words.join(QLatin1Char(' '));
    }
    return lines;
}

QString prose(int seed, int count) {
    const QStringList words = pageLines(seed).join(QLatin1Char(' ')).split(QLatin1Char(' '));
    QString text;
    for (int word = 0; word < count; ++word) {
        QString next = words[word % words.size()];
        if (word % 12 == 0)
            next[0] = next[0].toUpper();
        text += next + ((word % 12 == 11) ? QStringLiteral(". ") : QStringLiteral(" "));
    }
    return text.trimmed() + QLatin1Char('.');
}

struct Page {
    QByteArray jpeg;
    QString text;
    QByteArray boxes;
};

Page scannedPage(int seed) {
    const testing::TestPage drawn =
        testing::makeTestPage(pageLines(seed), {2480, 3508}, 0.3, 11, quint32(seed));
    Page page;
    QBuffer buffer(&page.jpeg);
    buffer.open(QIODevice::WriteOnly);
    drawn.image.save(&buffer, "JPG", 75);
    page.text = drawn.text;
    recognition::PageText read{drawn.text, {}};
    qsizetype from = 0;
    for (const auto& [word, place] : drawn.words) {
        const qsizetype at = drawn.text.indexOf(word, from);
        read.words.append({place.toAlignedRect(), qint32(at), qint32(word.size())});
        from = at + word.size();
    }
    page.boxes = recognition::encodeWordBoxes(read);
    return page;
}

bool makeBook(const QString& path, const QString& folder,
              const std::function<store::TopicWrite(int)>& topic, int count) {
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store(settings, {folder, folder}, dialogs);
    store.LoadBook();
    for (int i = 0; i < count; ++i)
        if (!store.storeTopic(topic(i)))
            return false;
    store.CloseAndCompactBook();
    return QFile::rename(store.untitledBookPath(), path);
}

// Runs a program to its end; false when it could not start or failed.
bool run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "bench_bookexport: %s failed: %s\n", qPrintable(program),
                     process.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString folimar = QCoreApplication::applicationDirPath() + QStringLiteral("/folimar");
    QTemporaryDir temporary;
    QStringList arguments = application.arguments().mid(1);
    const bool pdfAlone = arguments.removeAll(QStringLiteral("--pdf")) > 0;
    const QDir dir(arguments.isEmpty() ? temporary.path() : arguments.first());
    for (const char* folder : {"maker", "data", "config", "runtime", "jpeg"})
        QDir(dir.path()).mkdir(QLatin1String(folder));
    // The program starts with settings of its own, as a new user's.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));

    QList<Page> pages;
    for (int i = 0; i < DistinctPages; ++i)
        pages << scannedPage(i + 1);
    QStringList jpegs;
    for (int i = 0; i < PdfPages; ++i) {
        QFile file(
            dir.filePath(QStringLiteral("jpeg/p%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(pages[i % DistinctPages].jpeg) < 0)
            return 1;
        jpegs << file.fileName();
    }
    const QString scans = dir.filePath("scans.fmr");
    if (!makeBook(
            scans, dir.filePath("maker"),
            [&](int i) {
                const Page& page = pages[i % DistinctPages];
                return store::TopicWrite{i + 1,        QStringLiteral("Page %1").arg(i + 1),
                                         page.text,    page.jpeg,
                                         std::nullopt, page.boxes};
            },
            PdfPages)) {
        std::fprintf(stderr, "bench_bookexport: cannot make the book of scans\n");
        return 1;
    }
    const QString pdf = dir.filePath("scans.pdf");
    bool ok = true;
    const double pdfMs = bench::elapsedMs([&] {
        ok = run(folimar, {"--export", scans, pdf}, env);
    });
    if (!ok)
        return 1;
    bench::report("export.pdf_200_pages", pdfMs);
    const QString img2pdf = QStandardPaths::findExecutable(QStringLiteral("img2pdf"));
    if (img2pdf.isEmpty()) {
        std::fprintf(stderr, "bench_bookexport: no img2pdf for the PDF's baseline\n");
    } else {
        const QString base = dir.filePath("img2pdf.pdf");
        const double baseMs =
            bench::elapsedMs([&] { ok = run(img2pdf, QStringList(jpegs) << "-o" << base, env); });
        if (ok) {
            bench::report("export.pdf_200_pages", baseMs, /*baseline=*/true);
            std::printf("bench export.pdf_size_of_img2pdf %.1f %%\n",
                        100.0 * double(QFileInfo(pdf).size()) / double(QFileInfo(base).size()));
        }
    }

    if (pdfAlone)
        return 0;
    const QString spoken = dir.filePath("spoken.fmr");
    if (!makeBook(
            spoken, dir.filePath("maker"),
            [](int i) {
                return store::TopicWrite{i + 1,
                                         QStringLiteral("Topic %1").arg(i + 1),
                                         prose(i + 1, EpubWords),
                                         {},
                                         std::nullopt};
            },
            EpubTopics)) {
        std::fprintf(stderr, "bench_bookexport: cannot make the spoken book\n");
        return 1;
    }
    const double epubMs = bench::elapsedMs([&] {
        ok = run(folimar, {"--export", spoken, dir.filePath("spoken.epub")}, env);
    });
    if (!ok)
        return 1;
    bench::report("export.epub_20_topics", epubMs);
    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    if (espeak.isEmpty() || lame.isEmpty()) {
        std::fprintf(stderr, "bench_bookexport: no espeak-ng and lame for the EPUB's baseline\n");
        return 0;
    }
    QStringList texts;
    for (int i = 0; i < EpubTopics; ++i) {
        QFile file(dir.filePath(QStringLiteral("t%1.txt").arg(i + 1)));
        if (!file.open(QIODevice::WriteOnly) || file.write(prose(i + 1, EpubWords).toUtf8()) < 0)
            return 1;
        texts << file.fileName();
    }
    // The voice's defaults as the export sets them: voice "en", 175 words a minute, pitch 50,
    // amplitude 100; mono MP3 at 48 kbit/s.
    const double baseMs = bench::elapsedMs([&] {
        for (const QString& text : texts) {
            const QString wav = text + QStringLiteral(".wav");
            ok = ok &&
                 run(espeak,
                     {"-v", "en", "-s", "175", "-p", "50", "-a", "100", "-w", wav, "-f", text},
                     env) &&
                 run(lame, {"--quiet", "-m", "m", "-b", "48", wav, text + QStringLiteral(".mp3")},
                     env);
        }
    });
    if (ok)
        bench::report("export.epub_20_topics", baseMs, /*baseline=*/true);
    return 0;
}
