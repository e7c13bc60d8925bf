// Where the words of a page's text, corrected or not, stand on its picture, and the bands
// that mark a sentence there.
#include "recognition/SentenceBands.h"
#include "recognition/WordAlignment.h"

#include <QRegularExpression>
#include <QTest>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace folimar;
using recognition::PageText;
using recognition::PlacedWord;

namespace {

// A recognised page whose word number i has the box (10 i, 0, 8, 8).
PageText recognisedPage(const QString& text) {
    PageText page{text, {}};
    qint32 start = -1;
    for (qint32 i = 0; i <= text.size(); ++i) {
        const bool space = i == text.size() || text[i].isSpace();
        if (!space && start < 0)
            start = i;
        if (space && start >= 0) {
            page.words.append({QRect(10 * int(page.words.size()), 0, 8, 8), start, i - start});
            start = -1;
        }
    }
    return page;
}

// For each word of `text`: the number of the recognised word it was placed on, or -1.
QList<int> placesOf(const QString& text, const QList<PlacedWord>& placed) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList words = text.split(space, Qt::SkipEmptyParts);
    QList<int> places(words.size(), -1);
    qsizetype index = 0;
    qint32 at = 0;
    for (const QString& word : words) {
        at = qint32(text.indexOf(word, at));
        for (const PlacedWord& p : placed) {
            if (p.offset == at) {
                Q_ASSERT(p.length == word.size());
                places[index] = p.boxes.front().x() / 10;
            }
        }
        at += qint32(word.size());
        ++index;
    }
    return places;
}

// `count` words from a small vocabulary, in an order set by `stride`.
QString wordsInOrder(int count, int stride) {
    static const QStringList vocabulary{"the", "reader", "opens", "a",   "book",
                                        "at",  "page",   "where", "she", "stopped",
                                        "and", "voice",  "goes",  "on."};
    QString text;
    for (int i = 0; i < count; ++i)
        text += vocabulary[(i * stride + i / 13) % vocabulary.size()] + u' ';
    return text;
}

// How many words are placed by a child process whose data may not grow past 1 GB; -1 when it
// ran out.
qsizetype placedWithinOneGigabyte(const QString& text, const PageText& page) {
    int pipe[2];
    if (::pipe(pipe) != 0)
        return -2;
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{rlim_t(1) << 30, rlim_t(1) << 30};
        setrlimit(RLIMIT_DATA, &limit);
        try {
            const qsizetype placed = recognition::placeWords(text, page).size();
            if (write(pipe[1], &placed, sizeof placed) != sizeof placed)
                _exit(2);
            _exit(0);
        } catch (const std::bad_alloc&) {
            _exit(1);
        }
    }
    close(pipe[1]);
    qsizetype placed = -1;
    int status = 0;
    if (read(pipe[0], &placed, sizeof placed) != sizeof placed)
        placed = -1;
    close(pipe[0]);
    waitpid(child, &status, 0);
    return placed;
}

} // namespace

class WordPlacesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wordsAreFoundInAnEditedText_data();
    void wordsAreFoundInAnEditedText();
    void aPageStoredWithoutItsTextIsTakenAsUnchanged();
    void aWordKeepsItsConfidence();
    void longTextsArePlacedInBoundedMemory_data();
    void longTextsArePlacedInBoundedMemory();
    void sentencesAreMarkedLineByLineAndWordsAreFoundByPoint();
};

void WordPlacesTest::wordsAreFoundInAnEditedText_data() {
    QTest::addColumn<QString>("recognised");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("places");
    const QString page = QStringLiteral("The cat sat on the mat. It was warm there.");
    QTest::newRow("unchanged") << page << page << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("a corrected word")
        << QStringLiteral("The cat sal on the mat. It was warm there.") << page
        << QList<int>{0, 1, -1, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("a sentence put in")
        << page << QStringLiteral("The cat sat on the mat. She came in. It was warm there.")
        << QList<int>{0, 1, 2, 3, 4, 5, -1, -1, -1, 6, 7, 8, 9};
    QTest::newRow("a line taken out")
        << page << QStringLiteral("The cat sat there.") << QList<int>{0, 1, 2, 9};
    QTest::newRow("white space changed")
        << page << QStringLiteral("The  cat\nsat on the mat.\n\nIt was warm there.")
        << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("repeated words keep their order")
        << QStringLiteral("a b a b a") << QStringLiteral("a b a c a") << QList<int>{0, 1, 2, -1, 4};
    QTest::newRow("nothing in common")
        << page << QStringLiteral("A wholly other text typed by hand.")
        << QList<int>{-1, -1, -1, -1, -1, -1, -1};
    QTest::newRow("only small words in common")
        << page << QStringLiteral("Who said the dog was on a boat, and the sea was calm?")
        << QList<int>(13, -1);
    QTest::newRow("empty text") << page << QString() << QList<int>{};
}

void WordPlacesTest::wordsAreFoundInAnEditedText() {
    QFETCH(QString, recognised);
    QFETCH(QString, text);
    QFETCH(QList<int>, places);
    const QList<PlacedWord> placed = recognition::placeWords(text, recognisedPage(recognised));
    QCOMPARE(placesOf(text, placed), places);
    for (qsizetype i = 1; i < placed.size(); ++i)
        QVERIFY(placed[i - 1].offset < placed[i].offset);
}

void WordPlacesTest::aPageStoredWithoutItsTextIsTakenAsUnchanged() {
    const QString text = QStringLiteral("One two three");
    PageText stored = recognisedPage(text);
    stored.text.clear();
    stored.words.append({QRect(900, 0, 8, 8), 40, 3}); // past the text: no place
    const QList<PlacedWord> placed = recognition::placeWords(text, stored);
    QCOMPARE(placesOf(text, placed), (QList<int>{0, 1, 2}));
    QVERIFY(recognition::placeWords(text, PageText{text, {}}).isEmpty());
}

// A word in two boxes (hyphenated over a line end) is as sure as its less sure part, and
// of unknown confidence when either part's is unknown.
void WordPlacesTest::aWordKeepsItsConfidence() {
    const QString text = QStringLiteral("a forgotten tale told");
    const PageText page{text,
                        {{QRect(0, 0, 8, 8), 0, 1, 90},
                         {QRect(10, 0, 8, 8), 2, 3, 80},
                         {QRect(0, 10, 8, 8), 5, 6, 55},
                         {QRect(20, 10, 8, 8), 12, 2, 70},
                         {QRect(30, 10, 8, 8), 14, 2},
                         {QRect(40, 10, 8, 8), 17, 4, 99}}};
    QList<qint32> confidences;
    for (const PlacedWord& word : recognition::placeWords(text, page))
        confidences.append(word.confidence);
    QCOMPARE(confidences, (QList<qint32>{90, 55, recognition::WordBox::UnknownConfidence, 99}));
}

void WordPlacesTest::longTextsArePlacedInBoundedMemory_data() {
    QTest::addColumn<QString>("recognised");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("placed");
    const QString page = wordsInOrder(30000, 7);
    QString corrected = page;
    corrected.insert(100000, QStringLiteral("A sentence typed by hand. "));
    corrected.remove(50000, 60);
    QTest::newRow("a long page corrected") << page << corrected << qsizetype(29986);
    QTest::newRow("its words in another order") << page << wordsInOrder(30000, 5) << qsizetype(0);
    QTest::newRow("a short page under a long paste")
        << wordsInOrder(300, 7) << wordsInOrder(50000, 7) << qsizetype(0);
}

void WordPlacesTest::longTextsArePlacedInBoundedMemory() {
    if (qEnvironmentVariableIsSet("FOLIMAR_SANITIZED"))
        QSKIP("the sanitizers' shadow memory counts against the limit");
    QFETCH(QString, recognised);
    QFETCH(QString, text);
    QFETCH(qsizetype, placed);
    QCOMPARE(placedWithinOneGigabyte(text, recognisedPage(recognised)), placed);
}

// Two columns of two lines; "begin-" "ning" is one word hyphenated over the line end.
void WordPlacesTest::sentencesAreMarkedLineByLineAndWordsAreFoundByPoint() {
    const QString text = QStringLiteral("A first beginning here. Then the second column ends.");
    const auto box = [](int column, int line, int word) {
        return QRect(column * 500 + word * 60, line * 40, 50, 30);
    };
    PageText page{text,
                  {{box(0, 0, 0), 0, 1},
                   {box(0, 0, 1), 2, 5},
                   {box(0, 0, 2), 8, 5},  // "begin"
                   {box(0, 1, 0), 13, 4}, // "ning"
                   {box(0, 1, 1), 18, 5},
                   {box(0, 1, 2), 24, 4},
                   {box(1, 0, 0), 29, 3},
                   {box(1, 0, 1), 33, 6},
                   {box(1, 1, 0), 40, 6},
                   {box(1, 1, 1), 47, 5}}};
    const QList<PlacedWord> placed = recognition::placeWords(text, page);
    QCOMPARE(placed.size(), 9);
    QCOMPARE(placed[2].boxes, (QList<QRect>{box(0, 0, 2), box(0, 1, 0)}));

    // The first sentence: its first line, then the rest of the hyphenated word and "here.".
    QCOMPARE(recognition::sentenceBands(placed, 0, 23),
             (QList<QRect>{box(0, 0, 0).united(box(0, 0, 2)), box(0, 1, 0).united(box(0, 1, 1))}));
    // The second runs from the foot of the first column to the second column's two lines.
    QCOMPARE(recognition::sentenceBands(placed, 24, 52),
             (QList<QRect>{box(0, 1, 2), box(1, 0, 0).united(box(1, 0, 1)),
                           box(1, 1, 0).united(box(1, 1, 1))}));
    // A range inside one word marks that word; a range past the words marks nothing.
    QCOMPARE(recognition::sentenceBands(placed, 35, 36), (QList<QRect>{box(1, 0, 1)}));
    QVERIFY(recognition::sentenceBands(placed, 52, 60).isEmpty());

    QCOMPARE(recognition::wordAt(placed, box(0, 1, 0).center()), 2);
    QCOMPARE(recognition::wordAt(placed, box(1, 1, 1).topLeft()), 8);
    QCOMPARE(recognition::wordAt(placed, QPoint(55, 15)), -1); // between two words
}

QTEST_GUILESS_MAIN(WordPlacesTest)
#include "tst_wordplaces.moc"
