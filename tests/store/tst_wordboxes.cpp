#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar;
using store::BookStore;

namespace {

// The untitled book of a fresh program folder, with topics 1 and 2 holding pictures.
struct WordBoxBook {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("program"));
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    BookStore store{settings, {program, program + QStringLiteral("/notes")}, dialogs};

    WordBoxBook() {
        QDir().mkpath(program + QStringLiteral("/notes"));
        store.StartStore();
    }
    bool put(int topicNo, const QByteArray& boxes, const QByteArray& picture = "jpeg") {
        return bool(store.storeTopic({topicNo, QString::number(topicNo), QStringLiteral("text"),
                                      picture, std::nullopt, boxes}));
    }
    QByteArray boxes(int topicNo) {
        return store.readTopic(topicNo).value_or(store::TopicPage{}).WordBoxes;
    }
    void reopen() {
        store.CloseAndCompactBook();
        store.LoadBook();
    }
};

} // namespace

class WordBoxesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boxesTravelWithTheirTopic();
    void bookWithoutTheTableWorksAsBefore();
    void mergedTopicsBringTheirBoxesAndWords();
    void bookKeepsItsOwnWords();
};

void WordBoxesTest::boxesTravelWithTheirTopic() {
    WordBoxBook book;
    QVERIFY(book.put(1, "boxes of one"));
    QVERIFY(book.put(2, "boxes of two"));
    QCOMPARE(book.boxes(1), QByteArray("boxes of one"));
    QCOMPARE(book.store.topicWordBoxes(2), QByteArray("boxes of two"));
    // Read only when the page is shown with its picture.
    QVERIFY(book.store.readTopic(1, false)->WordBoxes.isEmpty());

    // They outlive the compaction when the book is closed.
    book.reopen();
    QCOMPARE(book.boxes(1), QByteArray("boxes of one"));

    // Stored again with a new picture and no boxes: the old boxes are gone.
    QVERIFY(book.put(1, {}, "another jpeg"));
    QVERIFY(book.boxes(1).isEmpty());
    QCOMPARE(book.boxes(2), QByteArray("boxes of two"));

    // A deleted topic takes its boxes along; a new topic in its place has none.
    QVERIFY(book.store.deleteTopics({2}));
    QVERIFY(book.put(2, {}));
    QVERIFY(book.boxes(2).isEmpty());
    QVERIFY(book.store.topicWordBoxes(7).isEmpty());
}

void WordBoxesTest::bookWithoutTheTableWorksAsBefore() {
    WordBoxBook book;
    QVERIFY(book.put(1, {}));
    book.reopen();
    // No boxes ever stored: the book has no table of them, and reads none.
    QVERIFY(book.boxes(1).isEmpty());
    QVERIFY(book.put(1, "first boxes"));
    QCOMPARE(book.boxes(1), QByteArray("first boxes"));

    // A read-only book stores nothing, boxes included.
    book.store.ReadOnlyMode = true;
    QVERIFY(!book.put(1, "other boxes"));
    book.store.ReadOnlyMode = false;
    QCOMPARE(book.boxes(1), QByteArray("first boxes"));
}

void WordBoxesTest::mergedTopicsBringTheirBoxesAndWords() {
    WordBoxBook book;
    QVERIFY(book.put(1, "boxes of one"));
    QVERIFY(book.put(2, {}));
    QVERIFY(book.store.addBookWord(QStringLiteral("Ardith")));
    QVERIFY(book.store.addBookWord(QStringLiteral("Caelwen")));
    book.store.CloseAndCompactBook();
    const QString source = book.root.filePath(QStringLiteral("source.fmr"));
    QVERIFY(QFile::rename(book.store.untitledBookPath(), source));

    book.store.LoadBook(); // a new untitled book
    QVERIFY(book.put(1, "boxes of the target"));
    QVERIFY(book.store.addBookWord(QStringLiteral("Orm")));
    QVERIFY(book.store.addBookWord(QStringLiteral("Ardith")));
    book.store.MergePath = source;
    book.store.OpenMergeSource();
    QVERIFY(book.store.mergeSource());
    book.store.CloseMergeSource();
    QCOMPARE(book.boxes(1), QByteArray("boxes of the target"));
    QCOMPARE(book.boxes(2), QByteArray("boxes of one"));
    QVERIFY(book.boxes(3).isEmpty());
    // The words the source never doubts join the book's, each once.
    QCOMPARE(book.store.bookWords(), (QStringList{"Ardith", "Caelwen", "Orm"}));
}

void WordBoxesTest::bookKeepsItsOwnWords() {
    WordBoxBook book;
    QVERIFY(book.put(1, {}));
    QVERIFY(book.store.bookWords().isEmpty()); // no table of them yet
    book.store.BookModified = false;
    QVERIFY(book.store.addBookWord(QStringLiteral(" Ardith ")));
    QVERIFY(book.store.BookModified);
    book.store.BookModified = false;
    QVERIFY(book.store.addBookWord(QStringLiteral("Ardith"))); // had it: nothing written
    QVERIFY(!book.store.BookModified);
    QVERIFY(book.store.addBookWord(QStringLiteral("Caelwen")));
    QVERIFY(!book.store.addBookWord(QStringLiteral("  ")));
    book.reopen();
    QCOMPARE(book.store.bookWords(), (QStringList{"Ardith", "Caelwen"}));
    QCOMPARE(book.boxes(1), QByteArray()); // the topics as they were

    book.store.ReadOnlyMode = true;
    QVERIFY(!book.store.addBookWord(QStringLiteral("Orm")));
    book.store.ReadOnlyMode = false;
    QCOMPARE(book.store.bookWords().size(), 2);
}

QTEST_MAIN(WordBoxesTest)
#include "tst_wordboxes.moc"
