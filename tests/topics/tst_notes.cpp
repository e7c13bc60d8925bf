#include "TopicsRig.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QtTest>

using namespace folimar;
using testing::TopicsRig;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class NotesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void notesAreStoredPerKeystrokeButNotWhileLoading();
    void exportsAreWrittenByteForByte_data();
    void exportsAreWrittenByteForByte();
    void summaryWithoutNotesSaysSo();
    void failedExportSaysWhyAndLeavesNoFile();
};

void NotesTest::notesAreStoredPerKeystrokeButNotWhileLoading() {
    TopicsRig rig;
    rig.openTopics({{1, "Harbour", "h.", {}}, {2, "Quay", "q.", {}}});
    topics::NotesWindow& notes = rig.m().notesWindow();
    QCOMPARE(notes.objectName(), QStringLiteral("Form4"));
    QVERIFY(rig.store.notes().isEmpty()); // loading the first topic stored nothing

    QTest::keyClicks(notes.Text1, QStringLiteral("ab"));
    QCOMPARE(rig.store.readNote(1), std::optional<QString>(QStringLiteral("ab")));
    QCOMPARE(rig.store.notes().size(), 1);
    QCOMPARE(rig.store.notes().first().TopicName, QStringLiteral("Harbour"));
    QVERIFY(rig.store.NotesModified);

    rig.m().deselectCurrent();
    rig.m().selectEntry(1);
    QCOMPARE(notes.Text1->toPlainText(), QString());
    rig.m().selectEntry(0);
    QCOMPARE(notes.Text1->toPlainText(), QStringLiteral("ab"));
    QCOMPARE(rig.store.notes().size(), 1);

    // Erasing all of it stores an empty note.
    QTest::keyClick(notes.Text1, Qt::Key_End);
    QTest::keyClick(notes.Text1, Qt::Key_Backspace);
    QTest::keyClick(notes.Text1, Qt::Key_Backspace);
    QCOMPARE(rig.store.readNote(1), std::optional<QString>(QString()));

    // With no topic shown nothing is stored.
    notes.showNoTopic();
    QTest::keyClicks(notes.Text1, QStringLiteral("lost"));
    QCOMPARE(rig.store.readNote(1), std::optional<QString>(QString()));
    QCOMPARE(rig.store.notes().size(), 1);

    notes.show();
    QTest::keyClick(notes.Text1, Qt::Key_Escape);
    QVERIFY(notes.isHidden());
    notes.show();
    QVERIFY(!notes.close());
    QVERIFY(notes.isHidden());
}

void NotesTest::exportsAreWrittenByteForByte_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray contents = "Quay.\r\nHarbour.\r\nK\xc3\xb6ln.\r\n\r\n";
    const QByteArray index = "Harbour.\r\nK\xc3\xb6ln.\r\nQuay.\r\n\r\n";
    const QByteArray summary = "Harbour.\r\n\r\nline one\r\nline two.\r\n\r\n\r\n\r\n";
    QTest::newRow("contents") << "mnuContents" << false << "_cnt.txt" << "Contents File Created"
                              << contents;
    QTest::newRow("index") << "mnuIndex" << false << "_idx.txt" << "Index File Created" << index;
    QTest::newRow("summary") << "mnuSummary" << false << "_sum.txt" << "Summary File Created"
                             << summary;
    QTest::newRow("contents, read-only book")
        << "mnuContents" << true << "_cnt.txt" << "Contents File Created" << contents;
}

void NotesTest::exportsAreWrittenByteForByte() {
    QFETCH(QString, menu);
    QFETCH(bool, readOnly);
    QFETCH(QString, ending);
    QFETCH(QString, title);
    QFETCH(QByteArray, bytes);
    TopicsRig rig;
    const QString path = rig.book(QStringLiteral("Trip.fmr"));
    rig.makeBook(path, {{1, "Quay", {}, {}}, {2, "Harbour", {}, {}}, {3, "Köln", {}, {}}});
    {
        // Notes as another run left them: one empty, one over two lines.
        settings::Settings settings;
        settings.BookPath = path;
        testing::ScriptedDialogs quiet;
        store::BookStore writer{settings, rig.storeLocations(), quiet};
        writer.LoadBook();
        QVERIFY(writer.writeNote(1, QStringLiteral("Quay"), QString()));
        QVERIFY(writer.writeNote(2, QStringLiteral("Harbour"), QStringLiteral("line one\nline two")));
        writer.CloseAndCompactBook();
    }
    if (readOnly)
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    rig.open(path);
    rig.dialogs.messages.clear();

    rig.m().notesWindow().findChild<QAction*>(menu)->trigger();
    const QString target = readOnly ? rig.locations.TempFolder + QStringLiteral("/Trip") + ending
                                    : rig.books + QStringLiteral("/Trip") + ending;
    QCOMPARE(fileBytes(target), bytes);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text, target);
    QCOMPARE(rig.dialogs.messages.first().title, title);
    QCOMPARE(rig.dialogs.messages.first().icon, platform::MessageIcon::None);
    if (readOnly)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

void NotesTest::summaryWithoutNotesSaysSo() {
    TopicsRig rig;
    rig.openTopics({});
    topics::NotesWindow& notes = rig.m().notesWindow();
    notes.mnuSummary->trigger();
    notes.mnuContents->trigger(); // an empty book gives no contents and no message
    QCOMPARE(rig.messageTexts(), QStringList({"No Notes Found"}));

    QVERIFY(rig.store.writeNote(4, QStringLiteral("Quay"), QString()));
    notes.mnuSummary->trigger();
    QCOMPARE(rig.messageTexts(), QStringList({"No Notes Found", "No Notes Found"}));
    QVERIFY(QDir(rig.books).entryList({"*.txt"}).isEmpty());
}

void NotesTest::failedExportSaysWhyAndLeavesNoFile() {
    TopicsRig rig;
    rig.openTopics({{1, "Quay", {}, {}}});
    // A folder where the file should go: it cannot be replaced, even by root.
    const QString target = rig.books + QStringLiteral("/Trip_idx.txt");
    QVERIFY(QDir().mkpath(target + QStringLiteral("/kept")));
    rig.dialogs.messages.clear();
    rig.m().notesWindow().mnuIndex->trigger();

    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.dialogs.messages.first().text.contains(target));
    QVERIFY(rig.dialogs.messages.first().text.size() > target.size() + 12); // and the reason
    QCOMPARE(rig.dialogs.messages.first().icon, platform::MessageIcon::Critical);
    QVERIFY(QFileInfo(target + QStringLiteral("/kept")).isDir());
    QCOMPARE(QDir(rig.books).entryList(QDir::Files), QStringList({"Trip.fmr"}));
}

QTEST_MAIN(NotesTest)
#include "tst_notes.moc"
