#include "platform/paths/CommandArgs.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar::platform;

class TestCommandArgs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitsOnCommasAndTabsOnly_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("maxArgs");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << QStringList() << 10 << QStringList{""};
        QTest::newRow("one path") << QStringList{"/b/Trip.fmr"} << 10
                                  << QStringList{"", "/b/Trip.fmr"};
        QTest::newRow("path with spaces, split by the shell")
            << QStringList{"/my", "books/Trip", "two.fmr"} << 10
            << QStringList{"", "/my books/Trip two.fmr"};
        QTest::newRow("quoted path")
            << QStringList{"\"/my books/a.fmr\""} << 10 << QStringList{"", "\"/my books/a.fmr\""};
        QTest::newRow("two paths after a comma")
            << QStringList{"/a.fmr,/b.fmr"} << 10 << QStringList{"", "/a.fmr", "/b.fmr"};
        QTest::newRow("comma then space")
            << QStringList{"/a.fmr,", "/b.fmr"} << 10 << QStringList{"", "/a.fmr", " /b.fmr"};
        QTest::newRow("tabs and runs of separators")
            << QStringList{"\t,a\t\tb,,c,"} << 10 << QStringList{"", "a", "b", "c"};
        QTest::newRow("only separators") << QStringList{",\t,"} << 10 << QStringList{""};
        QTest::newRow("at most maxArgs")
            << QStringList{"a,b,c,d"} << 2 << QStringList{"", "a", "b"};
        QTest::newRow("none allowed") << QStringList{"a"} << 0 << QStringList{""};
    }
    void splitsOnCommasAndTabsOnly() {
        QFETCH(QStringList, arguments);
        QFETCH(int, maxArgs);
        QFETCH(QStringList, expected);
        QCOMPARE(GetCommandArgs(arguments, maxArgs), expected);
    }

    // A name with a comma or tab that exists is the one file named; one that does not
    // exist is split as before.
    void existingFileNamedWithSeparatorsStaysWhole() {
        QTemporaryDir dir;
        for (const QString& name : {QStringLiteral("Trip, 2nd.fmr"), QStringLiteral("a\tb.fmr")}) {
            const QString path = dir.filePath(name);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            QCOMPARE(GetCommandArgs({path}), QStringList({QString(), path}));
            const QStringList parts = path.split(QRegularExpression(QStringLiteral("[,\t]")));
            QCOMPARE(GetCommandArgs(path.split(QLatin1Char(' '))), QStringList({QString(), path}));
            QVERIFY(QFile::remove(path));
            QCOMPARE(GetCommandArgs({path}).size(), 1 + parts.size());
        }
    }

    void quotedNameLosesItsQuotes_data() {
        QTest::addColumn<QString>("arg");
        QTest::addColumn<QString>("name");
        QTest::newRow("quoted path with spaces") << "\"/my books/a.fmr\""
                                                 << "/my books/a.fmr";
        QTest::newRow("text after the closing quote") << "\"/a.fmr\" extra"
                                                      << "/a.fmr";
        QTest::newRow("unquoted") << "/my books/a.fmr"
                                  << "/my books/a.fmr";
        // A quote inside an unquoted name is part of the name.
        QTest::newRow("quote inside a name") << "/books/say \"hi\".fmr"
                                             << "/books/say \"hi\".fmr";
        QTest::newRow("quote never closed") << "\"/a.fmr"
                                            << "\"/a.fmr";
        QTest::newRow("empty quotes") << "\"\""
                                      << "";
    }
    void quotedNameLosesItsQuotes() {
        QFETCH(QString, arg);
        QFETCH(QString, name);
        QCOMPARE(StripArgumentQuotes(arg), name);
    }
};

QTEST_GUILESS_MAIN(TestCommandArgs)
#include "tst_commandargs.moc"
