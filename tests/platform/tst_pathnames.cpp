#include "platform/paths/PathNames.h"

#include <QTest>

using namespace folimar::platform;

class TestPathNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitsAtTheLastSlash_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("base");
        QTest::newRow("book") << "/home/ann/Books/Trip.fmr" << "Trip.fmr" << "/home/ann/Books" << "Trip";
        QTest::newRow("spaces") << "/a b/c d.fmr" << "c d.fmr" << "/a b" << "c d";
        QTest::newRow("root") << "/x.fmr" << "x.fmr" << "" << "x";
        QTest::newRow("short name") << "/n/ab" << "ab" << "/n" << "ab";
        QTest::newRow("empty") << "" << "" << "" << "";
        QTest::newRow("no slash") << "plain" << "plain" << "" << "p";
    }
    void splitsAtTheLastSlash() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QFETCH(QString, base);
        QCOMPARE(FileNameOf(path), name);
        QCOMPARE(FolderOf(path), folder);
        QCOMPARE(BaseNameOf(path), base);
    }
};

QTEST_GUILESS_MAIN(TestPathNames)
#include "tst_pathnames.moc"
