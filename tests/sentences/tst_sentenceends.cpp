// Where sentences end, by each choice of the reading option, on text as pages hold it.
#include "sentences/SentenceBounds.h"

#include <QTest>

using namespace folimar::sentences;

class SentenceEndsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sentencesEndByTheChosenRule_data();
    void sentencesEndByTheChosenRule();
};

void SentenceEndsTest::sentencesEndByTheChosenRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fullStops");
    QTest::addColumn<QStringList>("punctuation");

    QTest::newRow("heading before an empty line")
        << "Chapter One\n\nThe keeper climbed the stair. He lit the lamp."
        << QStringList{"Chapter One\n\nThe keeper climbed the stair.", " He lit the lamp."}
        << QStringList{"Chapter One", "\n\nThe keeper climbed the stair.", " He lit the lamp."};
    QTest::newRow("heading on the line before its paragraph")
        << "Chapter One\nThe lighthouse keeper climbed the long stair."
        << QStringList{"Chapter One\nThe lighthouse keeper climbed the long stair."}
        << QStringList{"Chapter One", "\nThe lighthouse keeper climbed the long stair."};
    QTest::newRow("a line broken inside a sentence")
        << "The keeper climbed the stair to see the lights of\nLondon far away.\n"
        << QStringList{"The keeper climbed the stair to see the lights of\nLondon far away.", "\n"}
        << QStringList{"The keeper climbed the stair to see the lights of\nLondon far away.", "\n"};
    QTest::newRow("list") << "You need:\n- two eggs\n- a cup of flour\n1. Mix them well."
                          << QStringList{"You need:\n- two eggs\n- a cup of flour\n1.",
                                         " Mix them well."}
                          << QStringList{"You need:", "\n- two eggs", "\n- a cup of flour",
                                         "\n1. Mix them well."};
    QTest::newRow("question and exclamation marks")
        << "Where is the light? It is out! Fetch the oil."
        << QStringList{"Where is the light? It is out! Fetch the oil."}
        << QStringList{"Where is the light?", " It is out!", " Fetch the oil."};
    QTest::newRow("abbreviations and initials")
        << "Dr. Watson met J. R. Hartley, e.g. at noon. They spoke."
        << QStringList{"Dr.", " Watson met J.", " R.",         " Hartley, e.",
                       "g.",  " at noon.",      " They spoke."}
        << QStringList{"Dr. Watson met J. R. Hartley, e.g. at noon.", " They spoke."};
    QTest::newRow("I at the end") << "So did I. Then we left."
                                  << QStringList{"So did I.", " Then we left."}
                                  << QStringList{"So did I.", " Then we left."};
    QTest::newRow("decimals") << "It costs 3.50 now. Pay 2.5 more!"
                              << QStringList{"It costs 3.50 now.", " Pay 2.5 more!"}
                              << QStringList{"It costs 3.50 now.", " Pay 2.5 more!"};
    QTest::newRow("quotes after a full stop")
        << "He said, \"Go home.\" Then he left."
        << QStringList{"He said, \"Go home.", "\" Then he left."}
        << QStringList{"He said, \"Go home.\"", " Then he left."};
    QTest::newRow("text going on in small letters")
        << "Wait... then go. Pens, inks etc. are here."
        << QStringList{"Wait.", ".", ".", " then go.", " Pens, inks etc.", " are here."}
        << QStringList{"Wait... then go.", " Pens, inks etc. are here."};
    QTest::newRow("a web address")
        << "See www.example.org for more" << QStringList{"See www.", "example.", "org for more"}
        << QStringList{"See www.example.org for more"};
}

void SentenceEndsTest::sentencesEndByTheChosenRule() {
    QFETCH(QString, text);
    QFETCH(QStringList, fullStops);
    QFETCH(QStringList, punctuation);
    QCOMPARE(sentencesOf(text, SentenceEnds::FullStops), fullStops);
    QCOMPARE(sentencesOf(text, SentenceEnds::Punctuation), punctuation);
    // Going back from each sentence's end lands on that sentence's start.
    for (const auto& [rule, sentences] : {std::pair{SentenceEnds::FullStops, fullStops},
                                          std::pair{SentenceEnds::Punctuation, punctuation}}) {
        int start = 0;
        for (const QString& sentence : sentences) {
            const int next = start + int(sentence.size());
            QCOMPARE(previousSentenceStart(text, next, rule), start);
            start = next;
        }
    }
}

QTEST_GUILESS_MAIN(SentenceEndsTest)
#include "tst_sentenceends.moc"
