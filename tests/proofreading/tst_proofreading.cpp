#include "proofreading/DoubtfulWords.h"
#include "proofreading/SpellingDictionary.h"
#include "proofreading/TextWords.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar;
using proofreading::DoubtfulWord;
using proofreading::DoubtfulWords;
using proofreading::ProofreadingRules;
using proofreading::SpellingDictionary;

namespace {

// The words of `text` between spaces as found on a picture, with these confidences.
QList<recognition::PlacedWord> placedOf(const QString& text, const QList<int>& confidences) {
    QList<recognition::PlacedWord> placed;
    qint32 offset = 0;
    for (const QString& word : text.split(u' ')) {
        if (placed.size() < confidences.size())
            placed.append({offset, qint32(word.size()), {QRect(offset, 0, 5, 5)},
                           confidences[placed.size()]});
        offset += qint32(word.size()) + 1;
    }
    return placed;
}

// "word:c" (unsure), "word:d" (unknown), "word:cd" (both), "words:j" (run together).
QStringList described(const QString& text, const QList<DoubtfulWord>& words) {
    QStringList out;
    for (const DoubtfulWord& word : words)
        out.append(text.mid(word.offset, word.length) + u':' + (word.unsure ? "c" : "") +
                   (word.unknown ? "d" : "") + (word.runTogether ? "j" : ""));
    return out;
}

void writeDictionary(const QString& folder, const QString& name, const QStringList& words) {
    QFile aff(folder + u'/' + name + ".aff");
    QVERIFY(aff.open(QIODevice::WriteOnly));
    aff.write("SET UTF-8\n");
    aff.close();
    QFile dic(folder + u'/' + name + ".dic");
    QVERIFY(dic.open(QIODevice::WriteOnly));
    dic.write(QByteArray::number(words.size()) + '\n' + words.join(u'\n').toUtf8() + '\n');
}

} // namespace

class ProofreadingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textIsSplitIntoWords_data();
    void textIsSplitIntoWords();
    void doubtfulWordsAreMarked_data();
    void doubtfulWordsAreMarked();
    void marksFollowEdits();
    void dictionaryOfEachLanguageIsFound();
    void nextAndPreviousDoubtfulWord();
};

void ProofreadingTest::textIsSplitIntoWords_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("punctuation around") << "\"Hello,\" she said. (Yes!)"
                                        << QStringList{"Hello", "she", "said", "Yes"};
    QTest::newRow("apostrophes and hyphens inside")
        << "don't go, well-known ’twas rock’n’roll" << QStringList{"don't", "go", "well-known",
                                                                   "twas", "rock’n’roll"};
    QTest::newRow("dashes part words") << "now—then - so -on- 3-4"
                                       << QStringList{"now", "then", "so", "on", "3-4"};
    QTest::newRow("accents and numbers") << "naïve cafe\u0301 1,200 x"
                                         << QStringList{"naïve", "cafe\u0301", "1", "200", "x"};
    QTest::newRow("nothing") << " .. -- " << QStringList{};
}

void ProofreadingTest::textIsSplitIntoWords() {
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QStringList found;
    for (const proofreading::TextWord& word : proofreading::splitIntoWords(text))
        found.append(text.mid(word.offset, word.length));
    QCOMPARE(found, words);
}

void ProofreadingTest::doubtfulWordsAreMarked_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("confidences"); // -1: unknown
    QTest::addColumn<bool>("byConfidence");
    QTest::addColumn<bool>("byDictionary");
    QTest::addColumn<QStringList>("doubtful");
    QTest::newRow("by confidence alone")
        << "The cat sat wrold" << QList<int>{95, 40, 70, 90} << true << false
        << QStringList{"cat:c"};
    QTest::newRow("by dictionary alone")
        << "The caat sat on teh mat" << QList<int>{10, 10} << false << true
        << QStringList{"caat:d", "teh:d"};
    QTest::newRow("both: a known word only when very unsure")
        << "\"Hello,\" wrold friend again!" << QList<int>{50, 30, 90, 35} << true << true
        << QStringList{"wrold:cd", "again:c"};
    QTest::newRow("words run together, not letters or numbers")
        << "She read.the letter;twice e.g. U.S. 12:30 3,5a “Yes”she said:no" << QList<int>{}
        << false << false << QStringList{"read.the:j", "letter;twice:j", "Yes”she:j", "said:no:j"};
    QTest::newRow("unknown confidence is no doubt")
        << "The cat sat" << QList<int>{-1, -1, -1} << true << false << QStringList{};
    QTest::newRow("numbers, single letters, book words never")
        << "In 1984 a 2nd I 3.5 12:30 Xyzzy xyzzy's Qwrtp" << QList<int>(11, 5) << true
        << true << QStringList{"In:c", "Qwrtp:cd"};
    QTest::newRow("compounds by their parts")
        << "sea-green mother-in-law 1-2-3 blue-grxn" << QList<int>{} << true << true
        << QStringList{"blue-grxn:d"};
}

void ProofreadingTest::doubtfulWordsAreMarked() {
    QFETCH(QString, text);
    QFETCH(QList<int>, confidences);
    QFETCH(bool, byConfidence);
    QFETCH(bool, byDictionary);
    QFETCH(QStringList, doubtful);
    const SpellingDictionary dictionary(QStringLiteral("eng"));
    QVERIFY2(!dictionary.isEmpty(), "the English spelling dictionary is installed");
    DoubtfulWords marker(&dictionary, {60, byConfidence, byDictionary});
    marker.setBookWords({QStringLiteral("XYZZY")});
    QCOMPARE(described(text, marker.mark(text, placedOf(text, confidences))), doubtful);
    // The same again: answers kept from the first time change nothing.
    QCOMPARE(described(text, marker.mark(text, placedOf(text, confidences))), doubtful);
}

void ProofreadingTest::marksFollowEdits() {
    const QString read = QStringLiteral("Tbe cat sat on teh mat.");
    recognition::PageText page{read, {}};
    const QList<int> confidences{40, 95, 95, 90, 30, 92};
    for (const recognition::PlacedWord& word : placedOf(read, confidences))
        page.words.append({word.boxes[0], word.offset, word.length, word.confidence});
    const SpellingDictionary dictionary(QStringLiteral("eng"));
    DoubtfulWords marker(&dictionary, {});
    QCOMPARE(described(read, marker.mark(read, recognition::placeWords(read, page))),
             (QStringList{"Tbe:cd", "teh:cd"}));

    // Corrected, and a word put in before them: the marks go, and stay on the right words.
    const QString edited = QStringLiteral("The black cat sat on teh mat.");
    QCOMPARE(described(edited, marker.mark(edited, recognition::placeWords(edited, page))),
             (QStringList{"teh:cd"}));
    // Added to the book's words: never marked again.
    marker.addBookWord(QStringLiteral("teh"));
    QVERIFY(marker.mark(edited, recognition::placeWords(edited, page)).isEmpty());
}

void ProofreadingTest::dictionaryOfEachLanguageIsFound() {
    QTemporaryDir folder;
    writeDictionary(folder.path(), "de_AT", {"Jänner"});
    writeDictionary(folder.path(), "de_DE", {"Januar", "Straße"});
    writeDictionary(folder.path(), "nl_BE", {"fiets"});
    const SpellingDictionary both(QStringLiteral("deu+nld+fra"), {folder.path()});
    QVERIFY(both.knows(u"Januar"));
    QVERIFY(both.knows(u"Straße"));
    QVERIFY(both.knows(u"fiets")); // the only one of its language
    QVERIFY(!both.knows(u"Jänner"));
    QCOMPARE(both.languagesWithout(), QStringList{"fra"});

    // A language without any dictionary checks nothing: only the confidence counts.
    const SpellingDictionary none(QStringLiteral("fra"), {folder.path()});
    QVERIFY(none.isEmpty());
    DoubtfulWords marker(&none, {});
    const QString text = QStringLiteral("Le chta noir");
    QCOMPARE(described(text, marker.mark(text, placedOf(text, {95, 20, 95}))),
             QStringList{"chta:c"});
}

void ProofreadingTest::nextAndPreviousDoubtfulWord() {
    const QList<DoubtfulWord> words{{4, 3, true, false}, {10, 2, false, true}};
    const auto start = [&](qint32 caret, bool forward) {
        const auto found = proofreading::nextDoubtful(words, caret, forward);
        return found ? found->offset : -1;
    };
    QCOMPARE(start(0, true), 4);
    QCOMPARE(start(4, true), 10); // from a word to the next
    QCOMPARE(start(10, true), -1);
    QCOMPARE(start(10, false), 4);
    QCOMPARE(start(4, false), -1);
    QCOMPARE(start(30, false), 10);
    QVERIFY(!proofreading::nextDoubtful({}, 0, true));
}

QTEST_MAIN(ProofreadingTest)
#include "tst_proofreading.moc"
