#include "platform/database/FileLock.h"
#include "platform/database/Workspace.h"
#include "settings/Settings.h"
#include "store/BookSchema.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"
#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace folimar;
using store::BookStore;
using store::TopicEntry;
using testing::StoreFixture;

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Compaction copies (and their journals) in the program folder.
QStringList copiesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("temp*.mdb*")},
                                  QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
}

QList<int> numbersOf(const QList<TopicEntry>& entries) {
    QList<int> numbers;
    for (const TopicEntry& entry : entries)
        numbers.append(entry.TopicNo);
    return numbers;
}

QStringList namesOf(const QList<TopicEntry>& entries) {
    QStringList names;
    for (const TopicEntry& entry : entries)
        names.append(entry.TopicName);
    return names;
}

// Runs SQL on a file with plain engine calls, keyed with `password`.
void rawSql(const QString& path, const char* password, const QString& sql) {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
             SQLITE_OK);
    QCOMPARE(sqlite3_key(db, password, int(qstrlen(password))), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    QVERIFY2(rc == SQLITE_OK, error);
    QCOMPARE(sqlite3_close(db), SQLITE_OK);
}

} // namespace

class BookStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startWithoutABookCreatesTheUntitledBookAndItsNotes();
    void notesFileIsNamedAfterTheBook_data();
    void notesFileIsNamedAfterTheBook();
    void ownerIsTheFirstRecordsUserAndDecidesEditing();
    void readOnlyBookOpensAsSnapshotsAndIsNeverCompacted_data();
    void readOnlyBookOpensAsSnapshotsAndIsNeverCompacted();
    void closingAnUnchangedBookWritesNothing();
    void closingAChangedBookReplacesItByACompactedCopy();
    void failedCompactionKeepsTheBook();
    void aBookWithOtherNamesKeepsThemWhenCompacted_data();
    void aBookWithOtherNamesKeepsThemWhenCompacted();
    void damagedOrForeignFilesOpenAsNoBookAndStayUntouched_data();
    void damagedOrForeignFilesOpenAsNoBookAndStayUntouched();
    void bookWrittenByAnotherToolOpensAndReadsBack();
    void addMarkerFieldsAddsOnlyTheMissingOnes();
    void topicsAreStoredInsertedRenumberedAndDeleted();
    void mergeNumbersOnAfterTheHighestTopic();
    void replaceCountsAndEndsBehindEachReplacement();
    void failingOperationsChangeNothing();
    void notesAreStoredPerTopic();
    void writesOverTheLengthLimitFailAndChangeNothing_data();
    void writesOverTheLengthLimitFailAndChangeNothing();
    void bookTextsFollowEveryChange();
    void bookOpenInAnotherProgramOpensReadOnlyAndIsNeverCompacted();
    void bookOfAnotherAccountOpensReadOnly();
};

void BookStoreTest::startWithoutABookCreatesTheUntitledBookAndItsNotes() {
    StoreFixture f;
    f.store.StartStore();
    QCOMPARE(f.settings.BookPath, f.program + QStringLiteral("/untitled.fmr"));
    QCOMPARE(f.store.OpenedBookPath, f.settings.BookPath);
    QVERIFY(f.store.hasBook());
    QVERIFY(!f.store.ReadOnlyMode);
    QCOMPARE(f.store.NotesPath, f.program + QStringLiteral("/notes/untitled.nts"));
    QVERIFY(QFile::exists(f.store.NotesPath));
    QVERIFY(f.store.NotesTable());
    QVERIFY(f.dialogs.messages.isEmpty());

    QStringList fields;
    for (const auto& field : f.store.BookTable()->fields())
        fields.append(field.name);
    QCOMPARE(fields, QStringList({"TopicNo", "TopicName", "PicData", "PicText", "NoteText", "dtype",
                                  "web", "u", "y", "yy"}));
    QStringList noteFields;
    for (const auto& field : f.store.NotesTable()->fields())
        noteFields.append(field.name);
    QCOMPARE(noteFields, QStringList({"TopicNo", "TopicName", "NoteText"}));
    QVERIFY(f.store.BookTable()->setIndex(QStringLiteral("NoIdx")));
    QVERIFY(f.store.BookTable()->setIndex(QStringLiteral("NameIdx")));
    QCOMPARE(f.store.BookByName()->kind(), database::ViewKind::Dynaset);

    // A named book that does not exist gives the untitled book, without a message.
    f.open(f.book(QStringLiteral("gone.fmr")));
    QCOMPARE(f.settings.BookPath, f.store.untitledBookPath());
    QVERIFY(!QFile::exists(f.book(QStringLiteral("gone.fmr"))));
    QVERIFY(f.dialogs.messages.isEmpty());

    // Encrypted: only the password opens it.
    f.store.CloseAndCompactBook();
    database::Workspace workspace;
    QVERIFY(!workspace.openDatabase(f.store.untitledBookPath(), {}, QStringLiteral(";pwd=other")));
    QVERIFY(workspace.openDatabase(f.store.untitledBookPath(), {}, QStringLiteral(";pwd=58K31pR")));
}

void BookStoreTest::notesFileIsNamedAfterTheBook_data() {
    QTest::addColumn<QString>("book");
    QTest::addColumn<QString>("notes");
    QTest::newRow("book") << "/any/where/Trip.fmr" << "Trip.nts";
    QTest::newRow("other folder, same name") << "/else/Trip.fmr" << "Trip.nts";
    QTest::newRow("short name") << "/x/abc" << "abc.nts";
    QTest::newRow("four characters") << "/x/a.fm" << ".nts";
}

void BookStoreTest::notesFileIsNamedAfterTheBook() {
    QFETCH(QString, book);
    QFETCH(QString, notes);
    StoreFixture f;
    QCOMPARE(f.store.notesPathFor(book), f.program + QStringLiteral("/notes/") + notes);
}

void BookStoreTest::ownerIsTheFirstRecordsUserAndDecidesEditing() {
    StoreFixture f;
    f.settings.UserName = QStringLiteral("ann");
    f.store.StartStore();
    QVERIFY(f.store.storeTopic({5, QStringLiteral("later"), {}, {}, QStringLiteral("bob")}));
    QCOMPARE(f.store.firstRecordOwner(), QStringLiteral("bob"));
    QVERIFY(f.store.storeTopic({2, QStringLiteral("first"), {}, {}, std::nullopt}));
    QCOMPARE(f.store.firstRecordOwner(), QString()); // the first record decides, and has none
    QVERIFY(f.store.stampOwner(QStringLiteral("ann")));
    QCOMPARE(f.store.firstRecordOwner(), QStringLiteral("ann"));

    f.store.BookOwner = QStringLiteral("ann");
    QVERIFY(f.store.mayEdit());
    f.store.BookOwner.clear();
    QVERIFY(f.store.mayEdit());
    f.store.BookOwner = QStringLiteral("Ann"); // exact comparison
    QVERIFY(!f.store.mayEdit());
    QCOMPARE(f.dialogs.messages.last().text, QStringLiteral("Cant edit another users document"));
    QCOMPARE(f.dialogs.messages.last().icon, platform::MessageIcon::Critical);
    f.store.ReadOnlyMode = true;
    QVERIFY(!f.store.mayEdit());
    QCOMPARE(f.dialogs.messages.last().text, QStringLiteral("File opened as Read Only"));
}

void BookStoreTest::readOnlyBookOpensAsSnapshotsAndIsNeverCompacted_data() {
    QTest::addColumn<bool>("folderLocked");
    QTest::newRow("read-only file") << false;
    QTest::newRow("read-only folder") << true;
}

void BookStoreTest::readOnlyBookOpensAsSnapshotsAndIsNeverCompacted() {
    QFETCH(bool, folderLocked);
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Locked.fmr"));
    f.makeBook(path, {{1, QStringLiteral("one")}, {2, QStringLiteral("two")}});
    const QByteArray before = contentOf(path);
    const QString locked = folderLocked ? f.books : path;
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup));

    f.open(path);
    QVERIFY(f.store.ReadOnlyMode);
    QVERIFY(f.store.hasBook());
    QCOMPARE(f.store.BookTable()->kind(), database::ViewKind::Snapshot);
    QCOMPARE(f.store.BookByName()->kind(), database::ViewKind::Snapshot);
    QCOMPARE(namesOf(f.store.topicList()), QStringList({"one", "two"}));
    QVERIFY(!f.store.BookTable()->edit());
    QVERIFY(!f.store.storeTopic({3, QStringLiteral("three"), {}, {}, std::nullopt}));
    QVERIFY(!f.store.renumberTopics());
    QVERIFY(!QFile::exists(QFileInfo(path).absolutePath() + QStringLiteral("/tmp.tmp")));
    f.store.BookModified = true; // even so, a read-only book is never compacted
    f.store.CloseAndCompactBook();
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(contentOf(path), before);
}

void BookStoreTest::closingAnUnchangedBookWritesNothing() {
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Same.fmr"));
    f.makeBook(path, {{1, QStringLiteral("one")}});
    const QByteArray before = contentOf(path);
    const ino_t inode = inodeOf(path);
    f.open(path);
    QCOMPARE(f.store.topicList().size(), 1);
    QVERIFY(f.store.readTopic(1));
    f.store.CloseAndCompactBook();
    QCOMPARE(inodeOf(path), inode);
    QCOMPARE(contentOf(path), before);
    QVERIFY(copiesIn(f.program).isEmpty());
}

void BookStoreTest::closingAChangedBookReplacesItByACompactedCopy() {
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Changed.fmr"));
    f.makeBook(path, {});
    f.open(path);
    for (int i = 1; i <= 20; ++i)
        f.store.storeTopic({i, QStringLiteral("t%1").arg(i), {}, QByteArray(5000, 'p'), std::nullopt});
    f.open(path);
    QList<int> gone;
    for (int i = 2; i <= 20; ++i)
        gone.append(i);
    QVERIFY(f.store.deleteTopics(gone));
    QVERIFY(f.store.BookModified);
    const ino_t inode = inodeOf(path);
    const qint64 size = QFileInfo(path).size();
    writeFile(f.program + QStringLiteral("/temp.mdb"), "stale copy of an earlier run");
    writeFile(f.program + QStringLiteral("/temp.mdb-journal"), "its stale journal");
    f.store.CloseAndCompactBook();
    QVERIFY(inodeOf(path) != inode);
    QVERIFY(QFileInfo(path).size() < size);
    QVERIFY(copiesIn(f.program).isEmpty());
    f.open(path);
    QVERIFY(f.store.hasBook());
    QVERIFY(!f.store.BookModified);
    QCOMPARE(namesOf(f.store.topicList()), QStringList({"t1"}));
    QCOMPARE(f.store.readTopic(1)->PicData, QByteArray(5000, 'p'));
}

void BookStoreTest::aBookWithOtherNamesKeepsThemWhenCompacted_data() {
    QTest::addColumn<bool>("symbolic");
    QTest::newRow("a symbolic link") << true;
    QTest::newRow("a hard link") << false;
}

// A book opened through a link, then changed: every name still leads to the changed book.
void BookStoreTest::aBookWithOtherNamesKeepsThemWhenCompacted() {
    QFETCH(bool, symbolic);
    StoreFixture f;
    const QString real = f.book(QStringLiteral("Real.fmr"));
    const QString synced = f.root.filePath(QStringLiteral("synced"));
    QDir().mkpath(synced);
    const QString link = synced + QStringLiteral("/Linked.fmr");
    f.makeBook(real, {{1, QStringLiteral("one")}});
    const QByteArray target = QFile::encodeName(real);
    QCOMPARE(symbolic ? ::symlink(target.constData(), QFile::encodeName(link).constData())
                      : ::link(target.constData(), QFile::encodeName(link).constData()),
             0);
    const ino_t before = inodeOf(real);
    f.open(link);
    QVERIFY(
        f.store.storeTopic({2, QStringLiteral("two"), {}, QByteArray(5000, 'p'), std::nullopt}));
    f.store.CloseAndCompactBook();

    QCOMPARE(QFileInfo(link).isSymLink(), symbolic);
    QCOMPARE(inodeOf(link), inodeOf(real));
    // Compacted where the link leads; a file of two names is left as it is.
    QCOMPARE(inodeOf(real) != before, symbolic);
    for (const QString& name : {real, link}) {
        f.open(name);
        QCOMPARE(namesOf(f.store.topicList()), QStringList({"one", "two"}));
    }
}

void BookStoreTest::failedCompactionKeepsTheBook() {
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Kept.fmr"));
    f.makeBook(path, {{1, QStringLiteral("one")}});
    f.open(path);
    QVERIFY(f.store.storeTopic({2, QStringLiteral("two"), {}, {}, std::nullopt}));
    // The copy cannot be made where it belongs (the program folder is a file now): the
    // book stays as it is, with the change.
    QVERIFY(QDir(f.program).removeRecursively());
    writeFile(f.program, "not a folder");
    const ino_t inode = inodeOf(path);
    f.store.CloseAndCompactBook();
    QCOMPARE(inodeOf(path), inode);
    QVERIFY(QFileInfo(f.program).isFile());
    f.open(path);
    QCOMPARE(namesOf(f.store.topicList()), QStringList({"one", "two"}));
}

void BookStoreTest::damagedOrForeignFilesOpenAsNoBookAndStayUntouched_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("not a database") << "text";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("another password") << "password";
    QTest::newRow("cut in half") << "half";
}

void BookStoreTest::damagedOrForeignFilesOpenAsNoBookAndStayUntouched() {
    QFETCH(QString, damage);
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Bad.fmr"));
    if (damage == QLatin1String("text")) {
        writeFile(path, QByteArray("these are not the pages of a book\n").repeated(200));
    } else if (damage == QLatin1String("empty")) {
        writeFile(path, {});
    } else if (damage == QLatin1String("password")) {
        rawSql(path, "other", QStringLiteral("CREATE TABLE Sitedata (TopicNo INTEGER, TopicName TEXT);"
                                             "INSERT INTO Sitedata VALUES (1, 'x');"));
    } else {
        QList<TopicEntry> topics;
        for (int i = 1; i <= 30; ++i)
            topics.append({i, QStringLiteral("t%1").arg(i)});
        f.makeBook(path, topics);
        QByteArray whole = contentOf(path);
        writeFile(path, whole.left(whole.size() / 2));
    }
    const QByteArray before = contentOf(path);
    f.open(path);
    QCOMPARE(f.settings.BookPath, path);
    QVERIFY(!f.store.hasBook());
    QVERIFY(!f.store.BookTable() && !f.store.BookByName());
    QVERIFY(f.store.ReadOnlyMode);
    QVERIFY(f.store.topicList().isEmpty());
    QVERIFY(!f.store.readTopic(1));
    QVERIFY(!f.store.storeTopic({1, QStringLiteral("x"), {}, {}, std::nullopt}));
    QVERIFY(f.store.NotesTable()); // the notes file is a file of its own
    f.store.BookModified = true;
    f.store.CloseAndCompactBook();
    QCOMPARE(contentOf(path), before);

    // The same damage in a notes file: no notes, and the file stays as it was.
    writeFile(f.store.notesPathFor(f.book(QStringLiteral("Good.fmr"))), before);
    f.makeBook(f.book(QStringLiteral("Good.fmr")), {{1, QStringLiteral("one")}});
    f.open(f.book(QStringLiteral("Good.fmr")));
    QVERIFY(f.store.hasBook());
    QVERIFY(!f.store.NotesTable());
    QVERIFY(!f.store.writeNote(1, QStringLiteral("one"), QStringLiteral("note")));
    QVERIFY(!f.store.readNote(1));
    f.store.NotesModified = true;
    f.store.CloseAndCompactBook();
    QCOMPARE(contentOf(f.store.NotesPath), before);
}

void BookStoreTest::bookWrittenByAnotherToolOpensAndReadsBack() {
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Shell.fmr"));
    rawSql(path, "58K31pR",
           QStringLiteral("CREATE TABLE Sitedata (TopicNo INTEGER, TopicName TEXT, PicData BLOB, "
                          "PicText BLOB, NoteText BLOB, dtype TEXT, web TEXT, u TEXT, y TEXT, yy TEXT);"
                          "CREATE INDEX NoIdx ON Sitedata (TopicNo);"
                          "CREATE INDEX NameIdx ON Sitedata (TopicName);"
                          "INSERT INTO Sitedata VALUES (2, 'beta', x'FFD8FF00', 'second page', NULL, "
                          "NULL, NULL, 'eve', NULL, NULL);"
                          "INSERT INTO Sitedata VALUES (1, 'Alpha', x'', 'first page', NULL, "
                          "NULL, NULL, 'ann', NULL, NULL);"));
    f.open(path);
    QVERIFY(f.store.hasBook());
    QVERIFY(!f.store.ReadOnlyMode);
    QVERIFY(f.store.hasMarkerFields());
    QCOMPARE(f.store.topicList(), QList<TopicEntry>({{1, "Alpha"}, {2, "beta"}}));
    QCOMPARE(namesOf(f.store.topicsByName()), QStringList({"Alpha", "beta"}));
    QCOMPARE(f.store.firstRecordOwner(), QStringLiteral("ann"));
    const auto second = f.store.readTopic(2);
    QCOMPARE(second->PicText, QStringLiteral("second page"));
    QCOMPARE(second->PicData, QByteArray("\xff\xd8\xff\x00", 4));
    QVERIFY(f.store.readTopic(1)->PicData.isEmpty());
    QVERIFY(f.store.BookTable()->setIndex(QStringLiteral("NoIdx")));
    QVERIFY(f.store.BookTable()->seek(2));
    QCOMPARE(f.store.BookTable()->fieldSize(QStringLiteral("PicData")), qint64(4));
    // It can be changed and compacted like any book; text and picture stay in its records.
    QVERIFY(f.store.storeTopic({3, QStringLiteral("gamma"), QStringLiteral("third"), {}, std::nullopt}));
    QVERIFY(f.store.storeTopic({2, QStringLiteral("beta"), QStringLiteral("new"), QByteArray("pic"), std::nullopt}));
    f.store.CloseAndCompactBook();
    f.open(path);
    QCOMPARE(numbersOf(f.store.topicList()), QList<int>({1, 2, 3}));
    QCOMPARE(f.store.readTopic(2)->PicText, QStringLiteral("new"));
    QCOMPARE(f.store.readTopic(2)->PicData, QByteArray("pic"));

    // Merged into a book made here, its topics bring their texts and pictures along.
    f.makeBook(f.book(QStringLiteral("Here.fmr")), {{1, QStringLiteral("own")}});
    f.open(f.book(QStringLiteral("Here.fmr")));
    f.store.MergePath = path;
    f.store.OpenMergeSource();
    QVERIFY(f.store.mergeSource());
    f.store.CloseMergeSource();
    QCOMPARE(f.store.readTopic(3)->PicText, QStringLiteral("new"));
    QCOMPARE(f.store.readTopic(3)->PicData, QByteArray("pic"));
    QCOMPARE(f.store.topicTexts().last().PicText, QStringLiteral("third"));
}

void BookStoreTest::addMarkerFieldsAddsOnlyTheMissingOnes() {
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Old.fmr"));
    rawSql(path, "58K31pR",
           QStringLiteral("CREATE TABLE Sitedata (TopicNo INTEGER, TopicName TEXT, PicData BLOB, "
                          "PicText BLOB, NoteText BLOB, web TEXT, u TEXT);"
                          "CREATE INDEX NoIdx ON Sitedata (TopicNo);"
                          "CREATE INDEX NameIdx ON Sitedata (TopicName);"
                          "INSERT INTO Sitedata (TopicNo, TopicName, web, u) VALUES (9, 'b', 'w', 'ann');"
                          "INSERT INTO Sitedata (TopicNo, TopicName) VALUES (4, 'a');"));
    f.open(path);
    QVERIFY(!f.store.hasMarkerFields());
    QCOMPARE(f.store.topicList().size(), 2);
    QVERIFY(!f.store.BookTable()->value(QStringLiteral("y")).isValid());
    f.store.AddMarkerFields();
    QVERIFY(f.store.hasMarkerFields());
    QStringList fields;
    for (const auto& field : f.store.BookTable()->fields())
        fields.append(field.name);
    QCOMPARE(fields, QStringList({"TopicNo", "TopicName", "PicData", "PicText", "NoteText", "web", "u",
                                  "dtype", "y", "yy"}));
    QCOMPARE(f.store.BookTable()->value(QStringLiteral("TopicNo")).toInt(), 4);
    f.store.BookTable()->moveNext();
    QCOMPARE(f.store.BookTable()->value(QStringLiteral("web")).toString(), QStringLiteral("w"));
}

void BookStoreTest::topicsAreStoredInsertedRenumberedAndDeleted() {
    StoreFixture f;
    f.store.StartStore();
    for (int no : {1, 2, 5, 7})
        QVERIFY(f.store.storeTopic({no, QStringLiteral("t%1").arg(no), {}, {}, std::nullopt}));
    bool added = false;
    QVERIFY(f.store.storeTopic({5, QStringLiteral("five"), QStringLiteral("page"), QByteArray("jpg"), std::nullopt}, &added));
    QVERIFY(!added);
    QCOMPARE(f.store.readTopic(5)->PicData, QByteArray("jpg"));
    QVERIFY(f.store.readTopic(5, false)->PicData.isEmpty());

    // Insert before the third topic (number 5): it and all after it move up by one.
    QVERIFY(f.store.insertTopic(2, 5, QStringLiteral("5")));
    QCOMPARE(f.store.topicList(), QList<TopicEntry>({{1, "t1"}, {2, "t2"}, {5, "5"}, {6, "five"}, {8, "t7"}}));
    QVERIFY(f.store.renumberTopics());
    QCOMPARE(numbersOf(f.store.topicList()), QList<int>({1, 2, 3, 4, 5}));
    QCOMPARE(f.store.readTopic(4)->PicText, QStringLiteral("page"));
    QCOMPARE(f.store.BookByName()->recordCount(), 5);

    // Equal numbers and names are allowed; a delete takes the first of each number.
    QVERIFY(f.store.storeTopic({9, QStringLiteral("t1"), {}, {}, std::nullopt}));
    QVERIFY(f.store.BookTable()->addNew());
    QVERIFY(f.store.BookTable()->setValue(QStringLiteral("TopicNo"), 9));
    QVERIFY(f.store.BookTable()->setValue(QStringLiteral("TopicName"), QStringLiteral("twin")));
    QVERIFY(f.store.BookTable()->update());
    QVERIFY(f.store.deleteTopics({9, 2, 42}));
    QCOMPARE(f.store.topicList(), QList<TopicEntry>({{1, "t1"}, {3, "5"}, {4, "five"}, {5, "t7"}, {9, "twin"}}));
}

void BookStoreTest::mergeNumbersOnAfterTheHighestTopic() {
    StoreFixture f;
    const QString source = f.book(QStringLiteral("Source.fmr"));
    f.makeBook(source, {{5, QStringLiteral("e")}, {1, QStringLiteral("c")}, {2, QStringLiteral("d")}});
    f.makeBook(f.book(QStringLiteral("Target.fmr")), {{7, QStringLiteral("a")}, {3, QStringLiteral("b")}});
    f.open(f.book(QStringLiteral("Target.fmr")));
    f.store.MergePath = source;
    f.store.OpenMergeSource();
    QVERIFY(f.store.MergeTable());
    int added = 0;
    QVERIFY(f.store.mergeSource(&added));
    QCOMPARE(added, 3);
    f.store.CloseMergeSource();
    QCOMPARE(f.store.topicList(), QList<TopicEntry>({{3, "b"}, {7, "a"}, {8, "c"}, {9, "d"}, {10, "e"}}));
    const auto merged = f.store.readTopic(10);
    QCOMPARE(merged->PicText, QStringLiteral("text of e"));
    QCOMPARE(merged->PicData, QByteArray("jpeg e"));
    QVERIFY(f.store.BookModified);
}

void BookStoreTest::replaceCountsAndEndsBehindEachReplacement() {
    StoreFixture f;
    f.store.StartStore();
    f.store.storeTopic({1, QStringLiteral("a"), QStringLiteral("cat and Cat"), {}, std::nullopt});
    f.store.storeTopic({2, QStringLiteral("b"), QStringLiteral("no match"), {}, std::nullopt});
    f.store.storeTopic({3, QStringLiteral("c"), QStringLiteral("cat"), {}, std::nullopt});
    f.store.BookModified = false;
    int count = 0;
    QVERIFY(f.store.replaceInTexts(QStringLiteral("cat"), QStringLiteral("the cat"), Qt::CaseSensitive, &count));
    QCOMPARE(count, 2);
    QCOMPARE(f.store.readTopic(1)->PicText, QStringLiteral("the cat and Cat"));
    QCOMPARE(f.store.readTopic(3)->PicText, QStringLiteral("the cat"));
    QVERIFY(f.store.replaceInTexts(QStringLiteral("CAT"), QStringLiteral("dog"), Qt::CaseInsensitive, &count));
    QCOMPARE(count, 3);
    QCOMPARE(f.store.readTopic(1)->PicText, QStringLiteral("the dog and dog"));
    f.store.BookModified = false;
    QVERIFY(f.store.replaceInTexts(QStringLiteral("zebra"), QStringLiteral("x"), Qt::CaseSensitive, &count));
    QCOMPARE(count, 0);
    QVERIFY(!f.store.BookModified);
}

void BookStoreTest::failingOperationsChangeNothing() {
    StoreFixture f;
    f.store.StartStore();
    f.store.storeTopic({1, QStringLiteral("one"), {}, {}, std::nullopt});
    f.store.storeTopic({32767, QStringLiteral("last"), {}, {}, std::nullopt});
    const QList<TopicEntry> before = f.store.topicList();
    f.store.BookModified = false;

    QVERIFY(!f.store.storeTopic({32768, QStringLiteral("wraps"), {}, {}, std::nullopt}));
    QVERIFY(!f.store.storeTopic({2, QString(256, QLatin1Char('n')), {}, {}, std::nullopt}));
    // Moving 32767 up would wrap: the topics already moved go back too.
    QVERIFY(!f.store.insertTopic(0, 1, QStringLiteral("1")));
    QVERIFY(!f.store.insertTopic(5, 1, QStringLiteral("1")));
    QCOMPARE(f.store.topicList(), before);
    QVERIFY(!f.store.BookModified);

    // A merge that would run past the last number adds nothing.
    const QString source = f.book(QStringLiteral("Many.fmr"));
    rawSql(source, "58K31pR",
           QStringLiteral("CREATE TABLE Sitedata (TopicNo INTEGER, TopicName TEXT, PicData BLOB, "
                          "PicText BLOB, NoteText BLOB);"
                          "INSERT INTO Sitedata (TopicNo, TopicName) VALUES (1, 'x');"));
    f.store.MergePath = source;
    f.store.OpenMergeSource();
    QVERIFY(!f.store.mergeSource());
    QCOMPARE(f.store.topicList(), before);

    // With no merge source, or no book, nothing is written either.
    f.store.CloseMergeSource();
    QVERIFY(!f.store.mergeSource());
    f.store.CloseAndCompactBook();
    QVERIFY(!f.store.renumberTopics());
    QVERIFY(!f.store.deleteTopics({1}));
}

void BookStoreTest::notesAreStoredPerTopic() {
    StoreFixture f;
    f.store.StartStore();
    QVERIFY(!f.store.readNote(3));
    QVERIFY(f.store.writeNote(3, QStringLiteral("three"), QStringLiteral("first")));
    QVERIFY(f.store.writeNote(1, QStringLiteral("one"), QString()));
    QVERIFY(f.store.writeNote(3, QStringLiteral("Three"), QStringLiteral("second")));
    QVERIFY(f.store.NotesModified);
    QCOMPARE(*f.store.readNote(3), QStringLiteral("second"));
    const auto notes = f.store.notes();
    QCOMPARE(notes.size(), 2);
    QCOMPARE(notes[0].TopicNo, 1);
    QCOMPARE(notes[1].TopicName, QStringLiteral("Three"));
    QVERIFY(!f.store.writeNote(40000, QStringLiteral("x"), QStringLiteral("y")));

    // Notes survive closing the (unchanged) book, which compacts them.
    const ino_t inode = inodeOf(f.store.NotesPath);
    f.store.CloseAndCompactBook();
    QVERIFY(inodeOf(f.store.NotesPath) != inode);
    f.store.LoadBook();
    QCOMPARE(*f.store.readNote(3), QStringLiteral("second"));
}

// A value longer than the engine takes (1 GB by default; here made small on the connection)
// fails its write: the topic or note keeps what it had, never an empty field.
void BookStoreTest::writesOverTheLengthLimitFailAndChangeNothing_data() {
    QTest::addColumn<QString>("field");
    for (const char* field : {"PicText", "PicData", "WordBoxes", "replaced text", "NoteText"})
        QTest::newRow(field) << QString::fromLatin1(field);
}

void BookStoreTest::writesOverTheLengthLimitFailAndChangeNothing() {
    QFETCH(QString, field);
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Limit.fmr"));
    f.makeBook(path, {{1, QStringLiteral("one")}});
    f.open(path);
    QVERIFY(f.store.writeNote(1, QStringLiteral("one"), QStringLiteral("a note")));
    constexpr int Limit = 20000;
    for (database::View* view : {f.store.BookTable(), f.store.NotesTable()})
        sqlite3_limit(view->connection().handle(), SQLITE_LIMIT_LENGTH, Limit);
    const QString longText(Limit + 1, u'x');
    store::TopicWrite topic{1, QStringLiteral("one"), QStringLiteral("text of one"),
                            QByteArray("jpeg one"), std::nullopt};
    database::Status status;
    if (field == "PicText")
        topic.PicText = longText;
    if (field == "PicData")
        topic.PicData = longText.toLatin1();
    if (field == "WordBoxes")
        topic.WordBoxes = longText.toLatin1();
    if (field == "NoteText")
        status = f.store.writeNote(1, QStringLiteral("one"), longText);
    else if (field == "replaced text")
        status = f.store.replaceInTexts(QStringLiteral("one"), longText, Qt::CaseSensitive);
    else
        status = f.store.storeTopic(topic);
    QCOMPARE(status.code(), SQLITE_TOOBIG);

    const std::optional<store::TopicPage> kept = f.store.readTopic(1);
    QVERIFY(kept);
    QCOMPARE(kept->PicText, QStringLiteral("text of one"));
    QCOMPARE(kept->PicData, QByteArray("jpeg one"));
    QVERIFY(f.store.topicWordBoxes(1).isEmpty());
    QCOMPARE(f.store.readNote(1), std::optional<QString>(QStringLiteral("a note")));
}

void BookStoreTest::bookTextsFollowEveryChange() {
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Texts.fmr"));
    f.makeBook(path, {{1, QStringLiteral("a")}, {2, QStringLiteral("b")}});
    f.open(path);
    const auto textOf = [&](int index) { return f.store.topicTexts().at(index).PicText; };
    QCOMPARE(textOf(1), QStringLiteral("text of b"));
    QVERIFY(f.store.storeTopic({2, QStringLiteral("b"), QStringLiteral("changed"), {}, std::nullopt}));
    QCOMPARE(textOf(1), QStringLiteral("changed"));
    int count = 0;
    QVERIFY(f.store.replaceInTexts(QStringLiteral("changed"), QStringLiteral("again"), Qt::CaseSensitive, &count));
    QCOMPARE(textOf(1), QStringLiteral("again"));
    // Another program writing the same file is seen too.
    rawSql(path, "58K31pR", QStringLiteral("UPDATE Sitedata_PicText SET Value = 'theirs' WHERE Record = "
                                           "(SELECT rowid FROM Sitedata WHERE TopicNo = 1)"));
    QCOMPARE(textOf(0), QStringLiteral("theirs"));
    // Another book's texts are never taken for this one's.
    f.makeBook(f.book(QStringLiteral("Other.fmr")), {{1, QStringLiteral("x")}, {2, QStringLiteral("y")}});
    f.open(f.book(QStringLiteral("Other.fmr")));
    QCOMPARE(textOf(1), QStringLiteral("text of y"));
}

// One book is written by one program: a second one reads it beside the first, says so, and
// leaves it alone at its close; a compaction skips a file another program holds.
void BookStoreTest::bookOpenInAnotherProgramOpensReadOnlyAndIsNeverCompacted() {
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Shared.fmr"));
    f.makeBook(path, {{1, QStringLiteral("one")}});
    f.open(path);
    QVERIFY(!f.store.ReadOnlyMode);
    QVERIFY(!f.store.OpenElsewhere);

    settings::Settings otherSettings;
    otherSettings.BookPath = path;
    testing::ScriptedDialogs otherDialogs;
    const QString otherFolder = f.root.filePath(QStringLiteral("other"));
    QDir().mkpath(otherFolder + QStringLiteral("/notes"));
    {
        BookStore other{otherSettings, {otherFolder, otherFolder + QStringLiteral("/notes")},
                        otherDialogs};
        other.LoadBook();
        QVERIFY(other.hasBook());
        QVERIFY(other.OpenElsewhere);
        QVERIFY(other.ReadOnlyMode);
        QCOMPARE(other.topicList().size(), 1);
        QVERIFY(!other.storeTopic({2, QStringLiteral("two"), {}, {}, std::nullopt}));
        // The first program goes on writing while the second reads.
        QVERIFY(f.store.storeTopic({3, QStringLiteral("three"), {}, {}, std::nullopt}));
        other.CloseAndCompactBook();
    }
    // A file another program holds at the close is not compacted: the change stays in it.
    f.open(path);
    QVERIFY(f.store.writeNote(1, QStringLiteral("one"), QStringLiteral("a note")));
    const QString notes = f.store.NotesPath;
    const ino_t inode = inodeOf(notes);
    database::FileLock::Outcome outcome{};
    std::unique_ptr<database::FileLock> held = database::FileLock::acquire(notes, &outcome);
    QCOMPARE(outcome, database::FileLock::Outcome::Locked);
    f.store.CloseAndCompactBook();
    QCOMPARE(inodeOf(notes), inode);
    held.reset();
    f.open(path);
    QVERIFY(!f.store.OpenElsewhere);
    QCOMPARE(namesOf(f.store.topicList()), QStringList({"one", "three"}));
    QCOMPARE(f.store.readNote(1), std::optional<QString>(QStringLiteral("a note")));
    f.store.CloseAndCompactBook();
    QVERIFY(inodeOf(notes) != inode); // compacted once no one else holds it
}

// A book owned by another account, in a folder everyone may write, opens read-only for
// this user however its owner's bits read: what counts is what this user may do.
void BookStoreTest::bookOfAnotherAccountOpensReadOnly() {
    if (::geteuid() != 0)
        QSKIP("needs root to make a book that belongs to another account");
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody)
        QSKIP("no account 'nobody' to open the book as");
    StoreFixture f;
    const QString path = f.book(QStringLiteral("Theirs.fmr"));
    f.makeBook(path, {{1, QStringLiteral("one")}});
    const QString userFolder = f.root.filePath(QStringLiteral("user"));
    QDir().mkpath(userFolder + QStringLiteral("/notes"));
    for (const QString& folder :
         {f.root.path(), f.books, userFolder, userFolder + QStringLiteral("/notes")})
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);

    int output[2];
    QVERIFY(::pipe(output) == 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
            ::setuid(nobody->pw_uid) != 0)
            ::_exit(126);
        const QByteArray program = BOOKPROBE;
        const QByteArray folder = QFile::encodeName(userFolder);
        const QByteArray book = QFile::encodeName(path);
        ::execl(program.constData(), program.constData(), folder.constData(), book.constData(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(output[1]);
    QByteArray said;
    char buffer[256];
    for (ssize_t got; (got = ::read(output[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, got);
    ::close(output[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 126)
        QSKIP("cannot become the account 'nobody'");
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY2(said.contains("read-only 1\n"), said.constData());
    QVERIFY2(said.contains("refusal File opened as Read Only\n"), said.constData());
    QVERIFY2(said.contains("stored 0\n"), said.constData());
}

QTEST_GUILESS_MAIN(BookStoreTest)
#include "tst_bookstore.moc"
