#include "StoreFixture.h"
#include "platform/database/FileLock.h"

#include <QtTest>
#include <sys/stat.h>

using namespace folimar;
using database::FileLock;
using testing::StoreFixture;

namespace {

FileLock::Outcome lockOutcome(const QString& path) {
    FileLock::Outcome outcome{};
    FileLock::acquire(path, &outcome);
    return outcome;
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

// A switch opens the next book while the book it leaves is closed and compacted.
class BookSwitchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void switchEndsInTheBookLoadedWithItsOwnLockAndNotes_data();
    void switchEndsInTheBookLoadedWithItsOwnLockAndNotes();
};

void BookSwitchTest::switchEndsInTheBookLoadedWithItsOwnLockAndNotes_data() {
    QTest::addColumn<QString>("prepared"); // the book opened ahead
    QTest::addColumn<QString>("loaded");   // the book the switch ends in
    QTest::addColumn<bool>("heldElsewhere");
    QTest::newRow("another book") << "B.fmr"
                                  << "B.fmr" << false;
    QTest::newRow("the same book again") << "A.fmr"
                                         << "A.fmr" << false;
    QTest::newRow("ends in another book than prepared") << "B.fmr"
                                                        << "C.fmr" << false;
    QTest::newRow("book another program holds") << "B.fmr"
                                                << "B.fmr" << true;
}

void BookSwitchTest::switchEndsInTheBookLoadedWithItsOwnLockAndNotes() {
    QFETCH(QString, prepared);
    QFETCH(QString, loaded);
    QFETCH(bool, heldElsewhere);
    StoreFixture f;
    for (const QString name : {"A", "B", "C"})
        f.makeBook(f.book(name + QStringLiteral(".fmr")), {{1, name}});
    const QString left = f.book(QStringLiteral("A.fmr"));
    f.open(left);
    QVERIFY(f.store.storeTopic({2, QStringLiteral("A2"), {}, {}, std::nullopt}));
    QVERIFY(f.store.writeNote(1, QStringLiteral("A"), QStringLiteral("note of A")));
    const ino_t leftInode = inodeOf(left);
    std::unique_ptr<FileLock> otherProgram;
    if (heldElsewhere) {
        FileLock::Outcome outcome{};
        otherProgram = FileLock::acquire(f.book(loaded), &outcome);
        QCOMPARE(outcome, FileLock::Outcome::Locked);
    }

    f.store.prepareOpening(f.book(prepared));
    f.store.CloseAndCompactBook();
    f.settings.BookPath = f.book(loaded);
    f.store.LoadBook();

    QVERIFY(inodeOf(left) != leftInode); // the changed book was compacted
    const QString name = QFileInfo(loaded).baseName();
    QCOMPARE(f.store.topicList().first().TopicName, name);
    QCOMPARE(f.store.NotesPath, f.store.notesPathFor(f.book(loaded)));
    QCOMPARE(f.store.OpenElsewhere, heldElsewhere);
    QCOMPARE(f.store.ReadOnlyMode, heldElsewhere);
    if (!heldElsewhere) {
        QVERIFY(f.store.writeNote(1, name, QStringLiteral("note of ") + name));
        QCOMPARE(lockOutcome(f.book(loaded)), FileLock::Outcome::HeldElsewhere);
    }
    // Only the book open is held: one opened ahead and not taken is let go.
    for (const QString other : {"A", "B", "C"}) {
        if (other != name)
            QCOMPARE(lockOutcome(f.book(other + QStringLiteral(".fmr"))),
                     FileLock::Outcome::Locked);
    }
    f.store.CloseAndCompactBook();
    f.open(left);
    QCOMPARE(f.store.readNote(1), std::optional<QString>(QStringLiteral("note of A")));
    QCOMPARE(f.store.topicList().size(), 2);
}

QTEST_GUILESS_MAIN(BookSwitchTest)
#include "tst_bookswitch.moc"
