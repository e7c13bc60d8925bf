// bench_proofreading: a recognised page of 500 words, one in twenty misread, with the
// recognition's confidence of each word.
//   proofreading.mark_page           finding its doubtful words by confidence and by the
//                                    English dictionary, with no dictionary answer kept
//                                    from an earlier page
//   proofreading.mark_page.baseline  splitting the same text into its words
// Medians of 50 runs.
#include "BenchFigures.h"
#include "proofreading/DoubtfulWords.h"
#include "proofreading/SpellingDictionary.h"

#include <QRandomGenerator>
#include <cstdio>

using namespace folimar;

namespace {

constexpr int PageWords = 500;
constexpr int Runs = 50;

const char* const Prose =
    "When the evening came the old ferryman pulled his boat up onto the shingle and sat "
    "watching the river, which had grown wide and brown with the spring rains. Travellers "
    "still arrived now and then, asking to be taken across before dark, and he would shake "
    "his head and point to the current, strong enough to carry a careless oarsman halfway "
    "to the sea. Some of them argued; most simply turned back toward the village, where the "
    "inn kept a fire burning through the night and the landlady remembered every name. "
    "Nobody could say exactly how long he had worked the crossing, though children believed "
    "he had been there since the bridge collapsed, and their grandparents, who knew better, "
    "never corrected them. In the mornings mist lay over the water like wool, hiding the "
    "far bank entirely, and he listened for bells, voices, the creak of carts descending "
    "the hill.";

struct Page {
    QString text;
    QList<recognition::PlacedWord> placed;
};

// The prose over and over, one word in twenty with a letter misread and a low confidence.
Page recognisedPage() {
    const QStringList words = QString::fromLatin1(Prose).split(u' ');
    QRandomGenerator random(33);
    Page page;
    for (int i = 0; i < PageWords; ++i) {
        QString word = words[i % words.size()];
        int confidence = 80 + int(random.bounded(20));
        if (i % 20 == 7 && word.size() > 3) {
            word[1] = word[1] == u'l' ? u'1' : u'l';
            confidence = 40 + int(random.bounded(40));
        }
        if (i > 0)
            page.text += u' ';
        page.placed.append({qint32(page.text.size()), qint32(word.size()),
                            {QRect(i % 12 * 150, i / 12 * 40, 140, 30)}, confidence});
        page.text += word;
    }
    return page;
}

} // namespace

int main() {
    const Page page = recognisedPage();
    const proofreading::SpellingDictionary dictionary(QStringLiteral("eng"));
    if (dictionary.isEmpty()) {
        std::fprintf(stderr, "bench_proofreading: no English spelling dictionary installed\n");
        return 1;
    }
    std::vector<double> marking;
    std::vector<double> splitting;
    qsizetype doubtful = 0;
    qsizetype words = 0;
    for (int run = 0; run < Runs; ++run) {
        const proofreading::DoubtfulWords marker(&dictionary, {});
        marking.push_back(
            bench::elapsedMs([&] { doubtful = marker.mark(page.text, page.placed).size(); }));
        splitting.push_back(
            bench::elapsedMs([&] { words = proofreading::splitIntoWords(page.text).size(); }));
    }
    bench::report("proofreading.mark_page", bench::median(marking));
    bench::report("proofreading.mark_page", bench::median(splitting), true);
    std::printf("# %lld of %lld words doubtful\n", qlonglong(doubtful), qlonglong(words));
    return 0;
}
