// The text sent to the speech service: a mark before each word, the text escaped so that
// the service hears exactly what the page says.
#include "platform/character/MarkedSpeech.h"

#include <QTest>
#include <QXmlStreamReader>

using namespace folimar::character;

namespace {

// What the service reads from the SSML: the text, and each mark's place in it.
struct Read {
    QString text;
    QList<QPair<QString, int>> marks; // name, position in the text
    bool wellFormed = false;
};

Read readBack(const QByteArray& ssml) {
    Read read;
    QXmlStreamReader xml(ssml);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters())
            read.text += xml.text();
        else if (xml.isStartElement() && xml.name() == QLatin1String("mark"))
            read.marks.append({xml.attributes().value("name").toString(), int(read.text.size())});
    }
    read.wellFormed = !xml.hasError();
    return read;
}

} // namespace

class MarkedSpeechTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void marksEachWordAndEscapesTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heard"); // the text as the service reads it
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << "Hello there."
                               << "Hello there." << QStringList{"Hello", "there"};
        QTest::newRow("markup characters")
            << "Tom & Jerry <b>bold</b> say \"hi\" & 'yo' >_<"
            << "Tom & Jerry <b>bold</b> say \"hi\" & 'yo' >_<"
            << QStringList{"Tom", "Jerry", "<b>bold</b>", "say", "hi", "yo", ">_<"};
        QTest::newRow("entity-like text") << "&amp; &#60; ]]>"
                                          << "&amp; &#60; ]]>" << QStringList{"amp", "60", ">"};
        QTest::newRow("punctuation alone, spaces around") << "  (one) -- two...  \t three!\n"
                                                          << "  (one) -- two...  \t three!\n"
                                                          << QStringList{"one", "two", "three"};
        QTest::newRow("control characters") << QStringLiteral("a\x01"
                                                              "b c\x1f")
                                            << "a b c "
                                            << QStringList{"a\x01"
                                                           "b",
                                                           "c\x1f"};
        QTest::newRow("beyond the basic plane")
            << QStringLiteral("caf\u00e9 \U0001F600x") << QStringLiteral("caf\u00e9 \U0001F600x")
            << QStringList{QStringLiteral("caf\u00e9"), QStringLiteral("\U0001F600x")};
        QTest::newRow("empty") << ""
                               << "" << QStringList{};
    }

    void marksEachWordAndEscapesTheText() {
        QFETCH(QString, text);
        QFETCH(QString, heard);
        QFETCH(QStringList, words);
        const MarkedSpeech speech = markedSpeech(text);
        const Read read = readBack(speech.ssml);
        QVERIFY2(read.wellFormed, speech.ssml.constData());
        QVERIFY(speech.ssml.startsWith("<speak>"));
        QCOMPARE(read.text, heard);

        QStringList marked;
        for (const MarkedSpeech::Word& word : speech.words)
            marked.append(text.mid(word.offset, word.length));
        QCOMPARE(marked, words);
        // The marks come in order, numbered from 0, each right before its word's run.
        QCOMPARE(read.marks.size(), words.size());
        for (int n = 0; n < read.marks.size(); ++n) {
            QCOMPARE(read.marks[n].first, QString::number(n));
            const MarkedSpeech::Word* word = speech.wordOfMark(QByteArray::number(n).constData());
            QVERIFY(word);
            const int at = read.marks[n].second;
            QVERIFY(at <= word->offset);
            QVERIFY(!heard.mid(at, word->offset - at).contains(QChar(u' ')));
        }
    }

    void marksNotOursNameNoWord() {
        const MarkedSpeech speech = markedSpeech(QStringLiteral("One two"));
        for (const char* name : {"", "x", "2", "-1", "99999999999", "1x"})
            QVERIFY2(!speech.wordOfMark(name), name);
        QCOMPARE(speech.wordOfMark("1")->offset, 4);
        QVERIFY(!speech.wordOfMark(nullptr));
    }
};

QTEST_GUILESS_MAIN(MarkedSpeechTest)
#include "tst_markedspeech.moc"
