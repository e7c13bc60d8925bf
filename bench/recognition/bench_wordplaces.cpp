// bench_wordplaces: a recognised page of 2,000, 20,000 and 50,000 words, then corrected by hand
// (per 2,000 words a corrected word, a sentence put in and a line taken out).
//   wordplaces.align_N_words            placing the corrected text's words on the picture
//   wordplaces.align_N_words.baseline   splitting the same text into its words, the least any
//                                       placing must do
//   wordplaces.align_N_words_peak       the peak memory of a process that builds the page and
//                                       places its words once, in MB
//   wordplaces.align_N_words_peak.baseline  the same process splitting the words instead
//   wordplaces.align_unlike_N_words     placing a text of the same words in another order
//                                       (nothing placed: the search gives up at its bound)
// Medians of several runs.
#include "BenchFigures.h"
#include "recognition/WordAlignment.h"

#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace folimar;

namespace {

constexpr int WordsPerLine = 12;

const QStringList& vocabulary() {
    static const QStringList words{"the",   "reader", "opens",   "a",   "book",  "at",   "page",
                                   "where", "she",    "stopped", "and", "voice", "goes", "on."};
    return words;
}

recognition::PageText recognisedPage(int words) {
    recognition::PageText page;
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            page.text += u' ';
        const QString& word = vocabulary()[(i * 7 + i / 13) % vocabulary().size()];
        const int line = i / WordsPerLine;
        const int column = i % WordsPerLine;
        page.words.append({QRect(100 + column * 180, 100 + line * 40, 150, 30),
                           qint32(page.text.size()), qint32(word.size())});
        page.text += word;
    }
    return page;
}

QString correctedText(QString text) {
    constexpr qsizetype Block = 9000;
    for (qsizetype at = (text.size() / Block - 1) * Block; at >= 0; at -= Block) {
        text.replace(at + 1000, 3, QStringLiteral("THE"));
        text.insert(at + 5000, QStringLiteral("A sentence typed by hand. "));
        text.remove(at + 8000, 60);
    }
    return text;
}

// The same words shuffled: as many of each, hardly any run in common.
QString unlikeText(int words) {
    QString text;
    for (int i = 0; i < words; ++i)
        text += vocabulary()[(i * 5 + i / 7 + i / 101) % vocabulary().size()] + u' ';
    return text;
}

qsizetype wordCount(const QString& text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.split(space, Qt::SkipEmptyParts).size();
}

template <typename Work> double medianOf(int runs, Work work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run)
        times.push_back(bench::elapsedMs(work));
    return bench::median(times);
}

// The peak memory of this program started afresh to build a page of `words` words and to
// place them (or only split them), in MB.
double peakMb(int words, const char* work) {
    const std::string count = std::to_string(words);
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", "bench_wordplaces", work, count.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || status != 0)
        return -1;
    return double(usage.ru_maxrss) / 1024.0;
}

int placeOnce(const char* work, int words) {
    const recognition::PageText page = recognisedPage(words);
    const QString text = correctedText(page.text);
    if (std::strcmp(work, "--place") == 0)
        return recognition::placeWords(text, page).isEmpty() ? 1 : 0;
    return wordCount(text) > 0 ? 0 : 1;
}

void reportMb(const std::string& figure, double value, bool baseline) {
    std::printf("bench %s%s %.1f MB\n", figure.c_str(), baseline ? ".baseline" : "", value);
    std::fflush(stdout);
}

void measure(int words, int runs) {
    const std::string figure = "wordplaces.align_" + std::to_string(words) + "_words";
    const recognition::PageText page = recognisedPage(words);
    const QString text = correctedText(page.text);
    QList<recognition::PlacedWord> placed;
    qsizetype split = 0;
    bench::report(figure.c_str(),
                  medianOf(runs, [&] { placed = recognition::placeWords(text, page); }));
    bench::report(figure.c_str(), medianOf(runs, [&] { split = wordCount(text); }), true);
    std::printf("# %lld of %lld words placed\n", qlonglong(placed.size()), qlonglong(split));
    reportMb(figure + "_peak", peakMb(words, "--place"), false);
    reportMb(figure + "_peak", peakMb(words, "--split"), true);

    const std::string unlike = "wordplaces.align_unlike_" + std::to_string(words) + "_words";
    const QString other = unlikeText(words);
    bench::report(unlike.c_str(),
                  medianOf(runs, [&] { placed = recognition::placeWords(other, page); }));
    std::printf("# %lld words placed in the unlike text\n", qlonglong(placed.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3)
        return placeOnce(argv[1], std::atoi(argv[2]));
    measure(2000, 50);
    measure(20000, 9);
    measure(50000, 5);
    return 0;
}
