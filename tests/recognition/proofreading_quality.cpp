// proofreading_quality: renders pages that recognition gets partly wrong (150 dpi, noise, a
// tilt, a small font, a photographed page), reads each, and prints how well the doubtful
// words point at the words read wrong (by their letters and digits): the share of wrong words
// marked and the share of right words marked, by the recognition's confidence alone, the
// dictionary alone, words run together alone, and all of them as the program marks
// (proofreading_quality [THRESHOLD [KNOWN THRESHOLD]], 70 and 40 by default). Not a test;
// run it by hand, niced.
#include "proofreading/DoubtfulWords.h"
#include "proofreading/SpellingDictionary.h"
#include "recognition/PageReader.h"
#include "recognition/RecognitionLanguages.h"
#include "recognition/WordAlignment.h"
#include "support/TestPage.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cstdio>
#include <vector>

using namespace folimar;

namespace {

QStringList proseLines() {
    const QStringList sentences{
        QStringLiteral("Ardith walked down from Kestrel Moor in the early morning,"),
        QStringLiteral("carrying a satchel of letters that her grandmother had kept"),
        QStringLiteral("for forty years in a cedar chest beneath the window seat."),
        QStringLiteral("The ferryman at Wyndle Ford remembered her mother well,"),
        QStringLiteral("and he refused the silver coins she offered for the crossing."),
        QStringLiteral("Beyond the river the orchards were heavy with late apples,"),
        QStringLiteral("and the smoke of bonfires drifted over the stubble fields."),
        QStringLiteral("She read the first letter standing in the shade of a barn;"),
        QStringLiteral("its handwriting was cramped, hurried, almost illegible."),
    };
    QStringList lines;
    for (int i = 0; i < 24; ++i)
        lines.append(i % 8 == 7 ? QString() : sentences[i % sentences.size()]);
    return lines;
}

QImage atDpi(const QImage& page, int dpi) {
    QImage scaled =
        page.scaled(page.size() * dpi / 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDotsPerMeterX(11811 * dpi / 300);
    scaled.setDotsPerMeterY(11811 * dpi / 300);
    return scaled;
}

QImage noisy(QImage picture, int perMille) {
    QRandomGenerator random(5);
    picture = picture.convertToFormat(QImage::Format_RGB32);
    const qint64 specks = qint64(picture.width()) * picture.height() * perMille / 1000;
    for (qint64 i = 0; i < specks; ++i) {
        const int grey = random.bounded(256);
        picture.setPixel(random.bounded(picture.width()), random.bounded(picture.height()),
                         qRgb(grey, grey, grey));
    }
    return picture;
}

struct Token {
    qint32 offset;
    qint32 length;
    QString word;
};

QList<Token> tokensOf(const QString& text) {
    QList<Token> tokens;
    static const QRegularExpression word(QStringLiteral("\\S+"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        tokens.append({qint32(match.capturedStart()), qint32(match.capturedLength()),
                       match.captured()});
    }
    return tokens;
}

// A word as proof-reading judges it: its letters and digits (a misread comma is no
// misread word).
QString lettersOf(const QString& word) {
    QString letters;
    for (const QChar c : word)
        if (c.isLetterOrNumber())
            letters.append(c);
    return letters;
}

// Which read words are right: those of a longest run in common with the true words,
// compared by their letters and digits.
std::vector<bool> rightWords(QStringList truth, QList<Token> read) {
    for (QString& word : truth)
        word = lettersOf(word);
    for (Token& token : read)
        token.word = lettersOf(token.word);
    const qsizetype n = truth.size();
    const qsizetype m = read.size();
    std::vector<std::vector<int>> table(n + 1, std::vector<int>(m + 1, 0));
    for (qsizetype i = 1; i <= n; ++i)
        for (qsizetype j = 1; j <= m; ++j)
            table[i][j] = truth[i - 1] == read[j - 1].word
                              ? table[i - 1][j - 1] + 1
                              : std::max(table[i - 1][j], table[i][j - 1]);
    std::vector<bool> right(m, false);
    for (qsizetype i = n, j = m; i > 0 && j > 0;) {
        if (truth[i - 1] == read[j - 1].word) {
            right[j - 1] = true;
            --i;
            --j;
        } else if (table[i - 1][j] >= table[i][j - 1]) {
            --i;
        } else {
            --j;
        }
    }
    return right;
}

struct Tally {
    int wrongMarked = 0, wrong = 0, rightMarked = 0, right = 0;
    void add(const Tally& other) {
        wrongMarked += other.wrongMarked;
        wrong += other.wrong;
        rightMarked += other.rightMarked;
        right += other.right;
    }
    QString shares() const {
        return QStringLiteral("%1 % | %2 %")
            .arg(wrong ? 100.0 * wrongMarked / wrong : 0.0, 0, 'f', 1)
            .arg(right ? 100.0 * rightMarked / right : 0.0, 0, 'f', 1);
    }
};

Tally tally(const QString& text, const QList<recognition::PlacedWord>& placed,
            const std::vector<bool>& right, const QList<Token>& tokens,
            const proofreading::DoubtfulWords& marker) {
    const QList<proofreading::DoubtfulWord> doubtful = marker.mark(text, placed);
    Tally t;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const bool marked = std::any_of(doubtful.begin(), doubtful.end(), [&](const auto& d) {
            return d.offset >= tokens[i].offset &&
                   d.offset < tokens[i].offset + tokens[i].length;
        });
        (right[i] ? t.right : t.wrong) += 1;
        (right[i] ? t.rightMarked : t.wrongMarked) += marked ? 1 : 0;
    }
    return t;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QSize halfA4(2480, 1754);
    const testing::TestPage level = testing::makeTestPage(proseLines(), halfA4, 0.3);
    const testing::TestPage tilted = testing::makeTestPage(proseLines(), halfA4, 4);
    const testing::TestPage small = testing::makeTestPage(proseLines(), halfA4, 0.3, 7);
    const testing::TestPage slanted = testing::makeTestPage(proseLines(), halfA4, 1.5);
    struct Page {
        const char* name;
        QImage picture;
        QString truth;
    };
    const std::vector<Page> pages{
        {"150 dpi, noise", noisy(atDpi(level.image, 150), 60), level.text},
        {"100 dpi, noise", noisy(atDpi(level.image, 100), 40), level.text},
        {"100 dpi, 4° tilt, noise", noisy(atDpi(tilted.image, 100), 30), tilted.text},
        {"small font, 100 dpi", atDpi(small.image, 100), small.text},
        {"photo, 90 dpi, noise", noisy(atDpi(testing::photographed(slanted.image), 90), 30),
         slanted.text}};

    const proofreading::SpellingDictionary dictionary(QStringLiteral("eng"));
    const int threshold = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 70;
    const int knownThreshold = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 40;
    std::printf("Confidence below %d, of a word the dictionary knows below %d\n\n", threshold,
                knownThreshold);
    constexpr int Ways = 4;
    const proofreading::DoubtfulWords markers[Ways] = {
        {&dictionary, {threshold, true, false, knownThreshold, false}},
        {&dictionary, {threshold, false, true, knownThreshold, false}},
        {&dictionary, {threshold, false, false, knownThreshold, true}},
        {&dictionary, {threshold, true, true, knownThreshold, true}}};
    Tally all[Ways];
    std::printf("| Page | words wrong | confidence: wrong marked | right marked | dictionary: "
                "wrong marked | right marked | run together: wrong marked | right marked | "
                "all: wrong marked | right marked |\n"
                "|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Page& page : pages) {
        recognition::ReadControl control;
        const recognition::PageText read =
            recognition::readPage(page.picture, recognition::tessdataFolder(),
                                  QStringLiteral("eng"), control)
                .page;
        QList<Token> tokens = tokensOf(read.text);
        // Marks of punctuation alone ("—", "...") are no words.
        tokens.removeIf([](const Token& token) { return lettersOf(token.word).isEmpty(); });
        const std::vector<bool> right = rightWords(
            page.truth.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts),
            tokens);
        const QList<recognition::PlacedWord> placed = recognition::placeWords(read.text, read);
        Tally t[Ways];
        for (int i = 0; i < Ways; ++i) {
            t[i] = tally(read.text, placed, right, tokens, markers[i]);
            all[i].add(t[i]);
        }
        std::printf("| %s | %d of %d | %s | %s | %s | %s |\n", page.name, t[0].wrong,
                    t[0].wrong + t[0].right, qPrintable(t[0].shares()), qPrintable(t[1].shares()),
                    qPrintable(t[2].shares()), qPrintable(t[3].shares()));
        std::fflush(stdout);
    }
    std::printf("| all | %d of %d | %s | %s | %s | %s |\n", all[0].wrong,
                all[0].wrong + all[0].right, qPrintable(all[0].shares()),
                qPrintable(all[1].shares()), qPrintable(all[2].shares()),
                qPrintable(all[3].shares()));
    return 0;
}
