#include "bookwindow/DocumentStatistics.h"

#include <QTest>

using namespace folimar::bookwindow;

class TestDocumentStatistics : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countsWordsAndSentencesByRuns_data() {
        QTest::addColumn<QStringList>("topics");
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("sentences");
        QTest::newRow("two spaces are one word") << QStringList{"a  b"} << 1 << 0;
        QTest::newRow("a line break counts") << QStringList{"a\nb c"} << 2 << 0;
        QTest::newRow("stored CR LF counts once") << QStringList{"a\r\nb c"} << 2 << 0;
        QTest::newRow("three periods are one sentence") << QStringList{"word..."} << 0 << 1;
        QTest::newRow("single spaces") << QStringList{"one two three"} << 2 << 0;
        QTest::newRow("trailing space") << QStringList{"one two three "} << 3 << 0;
        QTest::newRow("two sentences") << QStringList{"Go. Now."} << 1 << 2;
        QTest::newRow("empty topics add nothing")
            << QStringList{"a b.", "", "c d."} << 2 << 2;
        QTest::newRow("no delimiters") << QStringList{"word"} << 0 << 0;
    }
    void countsWordsAndSentencesByRuns() {
        QFETCH(QStringList, topics);
        QFETCH(int, words);
        QFETCH(int, sentences);
        DocumentCounts counts;
        for (const QString& text : topics)
            counts.addText(text);
        QCOMPARE(counts.words, words);
        QCOMPARE(counts.sentences, sentences);
    }

    void readingTimeAtThreeWordsASecond_data() {
        QTest::addColumn<int>("words");
        QTest::addColumn<QString>("time");
        QTest::newRow("half an hour") << 5400 << "00:30:00";
        QTest::newRow("1.33 s rounds down") << 4 << "00:00:01";
        QTest::newRow("1.67 s rounds up") << 5 << "00:00:02";
        QTest::newRow("hours minutes seconds") << 11727 << "01:05:09";
        QTest::newRow("past 99 hours") << 1080000 << "100:00:00";
        QTest::newRow("nothing") << 0 << "00:00:00";
    }
    void readingTimeAtThreeWordsASecond() {
        QFETCH(int, words);
        QFETCH(QString, time);
        QCOMPARE(ReadingTime(words), time);
    }
};

QTEST_GUILESS_MAIN(TestDocumentStatistics)
#include "tst_documentstatistics.moc"
