// bench_wordplaces: a recognised page of 2,000 words, then corrected by hand.
//   wordplaces.align_2000_words           placing the corrected text's words on the picture
//   wordplaces.align_2000_words.baseline  splitting the same text into its words, the least
//                                         any placing must do
// Medians of fifty runs.
#include "BenchFigures.h"
#include "recognition/WordAlignment.h"

#include <QRegularExpression>
#include <cstdio>

using namespace folimar;

namespace {

constexpr int Runs = 50;
constexpr int Words = 2000;
constexpr int WordsPerLine = 12;

recognition::PageText recognisedPage() {
    const QStringList vocabulary{"the",   "reader", "opens",   "a",   "book",  "at",   "page",
                                 "where", "she",    "stopped", "and", "voice", "goes", "on."};
    recognition::PageText page;
    for (int i = 0; i < Words; ++i) {
        if (i > 0)
            page.text += u' ';
        const QString word = vocabulary[(i * 7 + i / 13) % vocabulary.size()];
        const int line = i / WordsPerLine;
        const int column = i % WordsPerLine;
        page.words.append({QRect(100 + column * 180, 100 + line * 40, 150, 30),
                           qint32(page.text.size()), qint32(word.size())});
        page.text += word;
    }
    return page;
}

// A corrected word, a sentence put in and a line taken out.
QString correctedText(QString text) {
    text.replace(1000, 3, QStringLiteral("THE"));
    text.insert(5000, QStringLiteral("A sentence typed by hand. "));
    text.remove(8000, 60);
    return text;
}

template <typename Work> double medianOf(Work work) {
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run)
        times.push_back(bench::elapsedMs(work));
    return bench::median(times);
}

} // namespace

int main() {
    const recognition::PageText page = recognisedPage();
    const QString text = correctedText(page.text);
    QList<recognition::PlacedWord> placed;
    const double align = medianOf([&] { placed = recognition::placeWords(text, page); });
    static const QRegularExpression space(QStringLiteral("\\s+"));
    qsizetype split = 0;
    const double baseline = medianOf([&] { split = text.split(space).size(); });
    bench::report("wordplaces.align_2000_words", align);
    bench::report("wordplaces.align_2000_words", baseline, true);
    std::printf("# %lld of %lld words placed\n", qlonglong(placed.size()), qlonglong(split));

    return 0;
}
