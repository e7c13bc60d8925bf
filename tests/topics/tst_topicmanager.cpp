#include "TopicsRig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <sqlite3.h>

using namespace folimar;
using testing::TestTopic;
using testing::TopicsRig;

namespace {

QList<TestTopic> numbered(const QList<int>& numbers) {
    QList<TestTopic> topics;
    for (int no : numbers)
        topics.append({no, QStringLiteral("t%1").arg(no), QStringLiteral("Text of %1.").arg(no), {}});
    return topics;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void click(QPushButton* button) {
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TopicManagerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadingRestoresTheSavedTopicAndPlace();
    void showingATopicFillsTextNotePictureAndCaptions();
    void pickingAnotherTopicIsRefusedWhileThePageIsEdited();
    void insertMovesByNumberOrderAndRenumberCloses();
    void insertWithSharedNamesMovesTheRightTopics();
    void numbersPastTheRangeAreRefusedAndNothingChanges();
    void addEditAddsOrOverwritesTheNumberedTopic();
    void writesTheBookRefusesAreSaidAndKeepTheEdits_data();
    void writesTheBookRefusesAreSaidAndKeepTheEdits();
    void deleteRemovesEverySelectedTopic();
    void gotoSelectsByPosition_data();
    void gotoSelectsByPosition();
    void ownerIsStampedWithItsNoticeOnlyOnce();
    void editingIsRefused_data();
    void editingIsRefused();
    void viewsKeysAndLockSwitchTheControls();
    void readingGoesOnAcrossTopics_data();
    void readingGoesOnAcrossTopics();
};

void TopicManagerTest::loadingRestoresTheSavedTopicAndPlace() {
    TopicsRig rig;
    rig.settings.TopicIndex = 1;
    rig.settings.ReadPos = 4;
    rig.openTopics(numbered({1, 2, 3}));
    QCOMPARE(rig.entryNames(), QStringList({"t1", "t2", "t3"}));
    QCOMPARE(rig.listBox().currentRow(), 1);
    QCOMPARE(rig.box.text(), QStringLiteral("Text of 2."));
    QCOMPARE(rig.settings.ReadPos, 4); // the restore keeps the place
    QCOMPARE(rig.box.selectionStart(), 4);
    QVERIFY(!rig.list.RestoringTopic);
    QVERIFY(!rig.state.JumpPending);
    QVERIFY(rig.m().isHidden());

    // A saved index beyond the list starts at the first topic, from its top.
    rig.settings.TopicIndex = 7;
    rig.m().unloadWindow();
    QCOMPARE(rig.m().entryCount(), 0);
    rig.m().loadWindow();
    QCOMPARE(rig.listBox().currentRow(), 0);
    QCOMPARE(rig.settings.ReadPos, 0);
    QCOMPARE(rig.box.text(), QStringLiteral("Text of 1."));
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TopicManagerTest::showingATopicFillsTextNotePictureAndCaptions() {
    TopicsRig rig;
    QByteArray jpeg(100 * 1024, '\0');
    for (int i = 0; i < jpeg.size(); ++i)
        jpeg[i] = char(i * 7);
    rig.openTopics({{3, QStringLiteral("Quay"), QStringLiteral("No picture."), {}},
                    {12, QStringLiteral("Harbour"), QStringLiteral("Boats."), jpeg}});
    QVERIFY(rig.store.writeNote(12, QStringLiteral("Harbour"), QStringLiteral("my note")));
    rig.store.NotesModified = false;
    rig.state.Paused = false;
    rig.settings.ReadPos = 9;

    rig.m().selectEntry(1);
    QCOMPARE(rig.m().Text1->text(), QStringLiteral("12"));
    QCOMPARE(rig.m().Text2->text(), QStringLiteral("Harbour"));
    QCOMPARE(rig.page.caption, QStringLiteral("12 : Harbour"));
    QCOMPARE(rig.box.text(), QStringLiteral("Boats."));
    QCOMPARE(rig.page.shownBytes, jpeg);
    QCOMPARE(fileBytes(rig.programFile("temp.jpg")), jpeg);
    QCOMPARE(rig.m().notesWindow().Text1->toPlainText(), QStringLiteral("my note"));
    QCOMPARE(rig.m().notesWindow().windowTitle(), QStringLiteral("Harbour : Notes : "));
    QVERIFY(!rig.store.NotesModified); // loading a note stores nothing
    QCOMPARE(rig.settings.TopicIndex, 1);
    QCOMPARE(rig.state.BackTopicIndex, 0);
    // The topic change: reading goes on from the top of the new text.
    QVERIFY(rig.state.JumpPending && rig.state.UserMoved);
    QCOMPARE(rig.settings.ReadPos, 0);
    QVERIFY(!rig.state.Paused);
    QVERIFY(rig.page.navigationEnabled && rig.listBox().isEnabled());

    // A topic without a picture clears the page and its working files.
    writeBytes(rig.programFile("temp.bmp"), "bmp");
    const int clears = rig.page.clears;
    rig.m().deselectCurrent();
    rig.m().selectEntry(0);
    QCOMPARE(rig.page.clears, clears + 1);
    QVERIFY(!QFile::exists(rig.programFile("temp.jpg")));
    QVERIFY(!QFile::exists(rig.programFile("temp.bmp")));
    QCOMPARE(rig.m().notesWindow().Text1->toPlainText(), QString());
    QCOMPARE(rig.state.BackTopicIndex, 1);

    // An entry whose topic is gone shows nothing and leaves the list usable.
    QVERIFY(rig.store.deleteTopics({12}));
    rig.m().selectEntry(1);
    QCOMPARE(rig.box.text(), QStringLiteral("No picture."));
    QVERIFY(rig.listBox().isEnabled());
}

void TopicManagerTest::pickingAnotherTopicIsRefusedWhileThePageIsEdited() {
    TopicsRig rig;
    rig.openTopics(numbered({1, 2}));
    rig.box.setText(QStringLiteral("Edited page."));
    rig.state.TopicDirty = true;
    const int beeps = rig.dialogs.beeps;

    // Nothing that names the page shown moves: entry, number, name, caption.
    rig.m().selectEntry(1);
    QCOMPARE(rig.m().windowTitle(), QStringLiteral("Add to Topic ???"));
    QCOMPARE(rig.dialogs.beeps, beeps + 1);
    QCOMPARE(rig.box.text(), QStringLiteral("Edited page."));
    QCOMPARE(rig.m().Text1->text(), QStringLiteral("1"));
    QCOMPARE(rig.m().Text2->text(), QStringLiteral("t1"));
    QCOMPARE(rig.page.caption, QStringLiteral("1 : t1"));
    QCOMPARE(rig.listBox().selectedItems(), QList<QListWidgetItem*>{rig.listBox().item(0)});
    QCOMPARE(int(rig.settings.TopicIndex), 0);
    QVERIFY(rig.listBox().isEnabled());

    // Storing it now puts the edited page into the topic it was shown as.
    QTest::mouseClick(rig.m().Site_Add, Qt::LeftButton);
    QCOMPARE(rig.store.readTopic(1)->PicText, QStringLiteral("Edited page."));
    QCOMPARE(rig.store.readTopic(2)->PicText, QStringLiteral("Text of 2."));
    QCOMPARE(rig.m().windowTitle(), QStringLiteral("Select Topic"));
    QVERIFY(!rig.state.TopicDirty);

    // Closing while asking restores the caption, forgets the edit and only hides.
    rig.state.TopicDirty = true;
    rig.m().selectEntry(0);
    rig.m().show();
    QVERIFY(rig.m().close() == false);
    QCOMPARE(rig.m().windowTitle(), QStringLiteral("Select Topic"));
    QVERIFY(!rig.state.TopicDirty);
    QVERIFY(rig.m().isHidden());
    QCOMPARE(rig.m().entryCount(), 2);
}

void TopicManagerTest::insertMovesByNumberOrderAndRenumberCloses() {
    TopicsRig rig;
    rig.openTopics(numbered({1, 2, 5, 7}));
    rig.m().selectEntry(2);
    QCOMPARE(rig.m().Text1->text(), QStringLiteral("5"));
    click(rig.m().SSCommand3);
    QCOMPARE(rig.entryNumbers(), QList<int>({1, 2, 5, 6, 8}));
    QCOMPARE(rig.entryNames(), QStringList({"t1", "t2", "5", "t5", "t7"}));
    QCOMPARE(rig.listBox().currentRow(), 2);
    QCOMPARE(rig.m().Text2->text(), QStringLiteral("5")); // the new topic is shown
    QCOMPARE(rig.box.text(), QString());
    QVERIFY(rig.store.BookModified);

    rig.settings.TopicIndex = 3;
    click(rig.m().SSCommand7);
    QCOMPARE(rig.entryNumbers(), QList<int>({1, 2, 3, 4, 5}));
    QCOMPARE(rig.entryNames(), QStringList({"t1", "t2", "5", "t5", "t7"}));
    QCOMPARE(rig.listBox().currentRow(), 3);
    QCOMPARE(rig.box.text(), QStringLiteral("Text of 5."));
    QCOMPARE(rig.m().windowTitle(), QStringLiteral("Select Topic"));
    QVERIFY(rig.m().SSCommand7->isEnabled());
}

void TopicManagerTest::insertWithSharedNamesMovesTheRightTopics() {
    TopicsRig rig;
    rig.openTopics({{1, "Same", "a.", {}}, {2, "Same", "b.", {}}, {3, "Other", "c.", {}},
                    {4, "Same", "d.", {}}});
    rig.m().selectEntry(1);
    click(rig.m().SSCommand3);
    QCOMPARE(rig.entryNumbers(), QList<int>({1, 2, 3, 4, 5}));
    QCOMPARE(rig.entryNames(), QStringList({"Same", "2", "Same", "Other", "Same"}));
    QCOMPARE(rig.store.readTopic(1)->PicText, QStringLiteral("a."));
    QCOMPARE(rig.store.readTopic(3)->PicText, QStringLiteral("b."));
    QCOMPARE(rig.store.readTopic(5)->PicText, QStringLiteral("d."));
}

void TopicManagerTest::numbersPastTheRangeAreRefusedAndNothingChanges() {
    TopicsRig rig;
    rig.openTopics(numbered({1, 32767}));
    const QString refusal = QStringLiteral("Topic numbers go up to 32767.");

    rig.m().selectEntry(0);
    click(rig.m().SSCommand3); // the last topic would become 32768
    QCOMPARE(rig.dialogs.messages.last().text, refusal);
    QCOMPARE(rig.dialogs.messages.last().icon, platform::MessageIcon::Critical);
    QCOMPARE(rig.store.topicList().size(), 2);
    QCOMPARE(rig.entryNumbers(), QList<int>({1, 32767}));

    rig.m().Text1->setText(QStringLiteral("40000"));
    rig.m().Text2->setText(QStringLiteral("far"));
    rig.dialogs.messages.clear();
    click(rig.m().Site_Add);
    QCOMPARE(rig.messageTexts(), QStringList({refusal}));
    QCOMPARE(rig.store.topicList().size(), 2);
    QVERIFY(rig.listBox().isEnabled());
}

void TopicManagerTest::addEditAddsOrOverwritesTheNumberedTopic() {
    TopicsRig rig;
    rig.settings.UserName = QStringLiteral("bob");
    rig.openTopics({});
    QCOMPARE(rig.m().entryCount(), 0);
    click(rig.m().Site_del); // nothing to delete, insert or renumber in an empty book
    click(rig.m().SSCommand3);
    click(rig.m().SSCommand7);
    QVERIFY(rig.dialogs.messages.isEmpty());
    QVERIFY(!rig.store.BookModified);

    // The first topic of a book records its owner.
    rig.m().Text1->setText(QStringLiteral("3"));
    rig.m().Text2->setText(QStringLiteral("Harbour"));
    rig.box.setText(QStringLiteral("Boats."));
    writeBytes(rig.programFile("temp.jpg"), "jpeg bytes");
    rig.state.TopicDirty = true;
    QTest::keyClick(rig.m().Text2, Qt::Key_Return); // Enter in the name box stores too
    QCOMPARE(rig.entryNames(), QStringList({"Harbour"}));
    QCOMPARE(rig.listBox().currentRow(), 0);
    QCOMPARE(rig.store.readTopic(3)->PicData, QByteArray("jpeg bytes"));
    QCOMPARE(rig.store.firstRecordOwner(), QStringLiteral("bob"));
    QCOMPARE(rig.store.BookOwner, QStringLiteral("bob"));
    QVERIFY(!rig.state.TopicDirty);

    // A new number adds and selects it; a known one overwrites name, text and picture.
    rig.m().Text1->setText(QStringLiteral("8"));
    rig.m().Text2->setText(QStringLiteral("Quay"));
    click(rig.m().Site_Add);
    QCOMPARE(rig.entryNames(), QStringList({"Harbour", "Quay"}));
    QCOMPARE(rig.listBox().currentRow(), 1);

    rig.m().Text1->setText(QStringLiteral("3"));
    rig.m().Text2->clear();
    QTest::keyClicks(rig.m().Text2, QStringLiteral("Port"));
    rig.box.setText(QStringLiteral("Ships."));
    QFile::remove(rig.programFile("temp.jpg"));
    click(rig.m().Site_Add);
    const store::TopicPage port = *rig.store.readTopic(3);
    QCOMPARE(port.TopicName, QStringLiteral("Port"));
    QCOMPARE(port.PicText, QStringLiteral("Ships."));
    QVERIFY(port.PicData.isEmpty());
    QCOMPARE(rig.entryNames(), QStringList({"Port", "Quay"})); // a typed name rebuilds the list
    QCOMPARE(rig.store.topicList().size(), 2);
    QCOMPARE(rig.m().windowTitle(), QStringLiteral("Select Topic"));
}

// A value longer than the book takes (the engine's limit, made small here) is said with the
// store's reason, once, and what was typed stays as edited.
void TopicManagerTest::writesTheBookRefusesAreSaidAndKeepTheEdits_data() {
    QTest::addColumn<bool>("note");
    QTest::addColumn<QString>("said");
    QTest::newRow("Add/Edit") << false << QStringLiteral("The page could not be stored: ");
    QTest::newRow("note") << true << QStringLiteral("The note could not be stored: ");
}

void TopicManagerTest::writesTheBookRefusesAreSaidAndKeepTheEdits() {
    QFETCH(bool, note);
    QFETCH(QString, said);
    TopicsRig rig;
    rig.openTopics({{1, "Harbour", "h.", {}}});
    constexpr int Limit = 1000;
    for (database::View* view : {rig.store.BookTable(), rig.store.NotesTable()})
        sqlite3_limit(view->connection().handle(), SQLITE_LIMIT_LENGTH, Limit);
    const QString longText(Limit + 1, u'x');

    if (note) {
        QPlainTextEdit* box = rig.m().notesWindow().Text1;
        box->setPlainText(longText);
        QTest::keyClicks(box, QStringLiteral("ab")); // still refused: not said again
        QCOMPARE(box->toPlainText().size(), longText.size() + 2);
    } else {
        rig.m().Text1->setText(QStringLiteral("1"));
        rig.m().Text2->setText(QStringLiteral("Harbour"));
        rig.box.setText(longText);
        rig.state.TopicDirty = true;
        click(rig.m().Site_Add);
        QVERIFY(rig.state.TopicDirty);
        QCOMPARE(rig.box.text(), longText);
    }
    QCOMPARE(rig.dialogs.messages.size(), 1);
    const platform::MessageRequest& message = rig.dialogs.messages.first();
    QVERIFY2(message.text.startsWith(said) && message.text.size() > said.size(),
             qPrintable(message.text));
    QCOMPARE(message.icon, platform::MessageIcon::Critical);
    QCOMPARE(rig.store.readTopic(1)->PicText, QStringLiteral("h."));
    QVERIFY(rig.store.readNote(1).value_or(QString()).isEmpty());
}

void TopicManagerTest::deleteRemovesEverySelectedTopic() {
    TopicsRig rig;
    rig.openTopics(numbered({1, 2, 3, 4, 5}));
    writeBytes(rig.programFile("temp.jpg"), "jpeg");
    rig.m().show();
    QListWidget& list = rig.listBox();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
    for (int row : {2, 4})
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list.visualItemRect(list.item(row)).center());
    QCOMPARE(list.selectedItems().size(), 3);
    QCOMPARE(rig.box.text(), QStringLiteral("Text of 5.")); // each click showed its topic

    rig.dialogs.answers.enqueue(platform::MessageAnswer::Cancel);
    click(rig.m().Site_del);
    QCOMPARE(rig.dialogs.messages.last().text, QStringLiteral("Are you Sure ?"));
    QCOMPARE(rig.dialogs.messages.last().title, QStringLiteral("Delete"));
    QCOMPARE(rig.dialogs.messages.last().icon, platform::MessageIcon::Exclamation);
    QCOMPARE(rig.m().entryCount(), 5);

    click(rig.m().Site_del);
    QCOMPARE(rig.entryNumbers(), QList<int>({1, 4})); // the gaps stay until ReNo
    QCOMPARE(rig.store.topicList().size(), 2);
    QCOMPARE(rig.box.text(), QString());
    // A blank page after the last topic, numbered for the next one, without a caption.
    QCOMPARE(rig.m().Text1->text(), QStringLiteral("5"));
    QCOMPARE(rig.page.caption, QString());
    QCOMPARE(int(rig.settings.TopicIndex), 2);
    QVERIFY(!QFile::exists(rig.programFile("temp.jpg")));
    QCOMPARE(rig.m().windowTitle(), QStringLiteral("Select Topic"));
}

void TopicManagerTest::gotoSelectsByPosition_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("row");
    QTest::newRow("third entry") << "3" << 2;
    QTest::newRow("rounded") << "1.6" << 1;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("past the end") << "5" << 0;
    QTest::newRow("not a number") << "x" << 0;
}

void TopicManagerTest::gotoSelectsByPosition() {
    QFETCH(QString, number);
    QFETCH(int, row);
    TopicsRig rig;
    rig.openTopics(numbered({10, 20, 30, 40}));
    rig.m().Text1->setText(number);
    click(rig.m().SSCommand8);
    QCOMPARE(rig.listBox().currentRow(), row);
    QCOMPARE(rig.listBox().selectedItems().size(), 1);
    QCOMPARE(rig.box.text(), QStringLiteral("Text of %1.").arg((row + 1) * 10));
}

void TopicManagerTest::ownerIsStampedWithItsNoticeOnlyOnce() {
    TopicsRig rig;
    rig.makeBook(rig.book("Trip.fmr"), numbered({4, 6}), std::nullopt);
    rig.open(rig.book("Trip.fmr"));
    QCOMPARE(rig.messageTexts(), QStringList({"User info added to document"}));
    QCOMPARE(rig.dialogs.messages.first().icon, platform::MessageIcon::None);
    QCOMPARE(rig.store.firstRecordOwner(), QStringLiteral("ann"));

    // Inserting before the first topic makes an ownerless first record: stamped quietly.
    rig.m().selectEntry(0);
    click(rig.m().SSCommand3);
    QCOMPARE(rig.entryNumbers(), QList<int>({4, 5, 7}));
    QCOMPARE(rig.store.firstRecordOwner(), QStringLiteral("ann"));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(!rig.list.OwnerNoticeMuted);

    // With no user name there is nothing to record: no stamp, no notice at each rebuild.
    TopicsRig anonymous;
    anonymous.settings.UserName.clear();
    anonymous.makeBook(anonymous.book("Walk.fmr"), numbered({1}), std::nullopt);
    anonymous.open(anonymous.book("Walk.fmr"));
    anonymous.m().Doors_refresh();
    QVERIFY(anonymous.dialogs.messages.isEmpty());
    QVERIFY(!anonymous.store.BookModified);
}

void TopicManagerTest::editingIsRefused_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QStringList>("atLoad");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("read-only, no owner")
        << true << QString() << QStringList({"Cant Update User info\nFile opened as Read Only"})
        << "File opened as Read Only";
    QTest::newRow("read-only, owned") << true << "ann" << QStringList() << "File opened as Read Only";
    QTest::newRow("another user's") << false << "zed" << QStringList()
                                    << "Cant edit another users document";
}

void TopicManagerTest::editingIsRefused() {
    QFETCH(bool, readOnly);
    QFETCH(QString, owner);
    QFETCH(QStringList, atLoad);
    QFETCH(QString, refusal);
    TopicsRig rig;
    const QString path = rig.book("Locked.fmr");
    rig.makeBook(path, numbered({1, 2}),
                 owner.isEmpty() ? std::nullopt : std::optional<QString>(owner));
    if (readOnly)
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    rig.open(path);
    QCOMPARE(rig.messageTexts(), atLoad);
    if (!atLoad.isEmpty())
        QCOMPARE(rig.dialogs.messages.first().icon, platform::MessageIcon::Critical);

    rig.m().Text1->setText(QStringLiteral("9"));
    for (QPushButton* command : {rig.m().Site_Add, rig.m().Site_del, rig.m().SSCommand3,
                                 rig.m().SSCommand7}) {
        rig.dialogs.messages.clear();
        rig.m().selectEntry(0);
        click(command);
        QCOMPARE(rig.messageTexts(), QStringList({refusal}));
        QCOMPARE(rig.dialogs.messages.first().icon, platform::MessageIcon::Critical);
    }
    QCOMPARE(rig.store.topicList(), QList<store::TopicEntry>({{1, "t1"}, {2, "t2"}}));
    QVERIFY(!rig.store.BookModified);
    if (readOnly)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

void TopicManagerTest::viewsKeysAndLockSwitchTheControls() {
    TopicsRig rig;
    rig.openTopics({{1, "Quay", "q.", {}}, {2, "anchor", "a.", {}}, {3, "Harbour", "h.", {}}});
    topics::TopicManager& m = rig.m();
    const QList<QPushButton*> editing{m.Site_Add, m.Site_del, m.SSCommand3, m.SSCommand7};
    QCOMPARE(m.SSCommand7->toolTip(), QStringLiteral("Renumber Topics"));
    QVERIFY(!m.DBCombo1->isVisibleTo(&m) && !m.DBCombo1->isEnabled());

    click(m.SSCommand2);
    QVERIFY(m.DBCombo1->isVisibleTo(&m) && m.DBCombo1->isEnabled());
    QVERIFY(!m.DispLstBx->isVisibleTo(&m));
    for (QPushButton* button : editing)
        QVERIFY(!button->isEnabled());
    QStringList names;
    for (int i = 0; i < m.DBCombo1->count(); ++i)
        names.append(m.DBCombo1->itemText(i));
    QCOMPARE(names, QStringList({"anchor", "Harbour", "Quay"}));
    QCOMPARE(m.DBCombo1->currentIndex(), -1);
    // A lock during the index view leaves it as it was.
    m.LockTopicList();
    QVERIFY(!rig.page.navigationEnabled);
    m.UnlockTopicList();
    QVERIFY(rig.page.navigationEnabled);
    QVERIFY(!m.Site_Add->isEnabled());

    m.DBCombo1->activated(1); // "Harbour" picked from the drop-down list
    QVERIFY(m.DispLstBx->isVisibleTo(&m) && !m.DBCombo1->isVisibleTo(&m));
    QCOMPARE(m.DispLstBx->currentRow(), 2);
    QCOMPARE(rig.box.text(), QStringLiteral("h."));
    for (QPushButton* button : editing)
        QVERIFY(button->isEnabled());

    m.LockTopicList();
    QVERIFY(!m.DispLstBx->isEnabled());
    for (QPushButton* button : editing)
        QVERIFY(!button->isEnabled());
    m.UnlockTopicList();
    QVERIFY(m.DispLstBx->isEnabled() && m.Site_Add->isEnabled());

    // The window's keys; Find takes the number box's selection while the character is away.
    m.show();
    m.Text1->setText(QStringLiteral("123"));
    m.Text1->setSelection(0, 2);
    QTest::keyClick(m.Text1, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(m.DispLstBx, Qt::Key_D, Qt::ControlModifier);
    click(m.SSCommand5);
    QCOMPARE(rig.finds, (QList<QPair<bool, QString>>{{true, "12"}, {false, "12"}, {true, "12"}}));
    QTest::keyClick(m.DispLstBx, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(m.DispLstBx->selectedItems().size(), 1);
    QTest::keyClick(m.DispLstBx, Qt::Key_Up);
    QCOMPARE(rig.box.text(), QStringLiteral("a.")); // moving with the keys shows the topic
    click(m.SSCommand6);
    QVERIFY(m.notesWindow().isVisible());
    QTest::keyClick(m.DispLstBx, Qt::Key_Escape);
    QVERIFY(m.isHidden());
}

void TopicManagerTest::readingGoesOnAcrossTopics_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("All") << 1 << QStringList({"One", "Two", "Three"});
    QTest::newRow("Continuous") << 2 << QStringList({"One", "Two", "Three", "One", "Two"});
}

void TopicManagerTest::readingGoesOnAcrossTopics() {
    QFETCH(int, mode);
    QFETCH(QStringList, expected);
    TopicsRig rig;
    rig.settings.PlayTopicsMode = qint16(mode);
    rig.openTopics({{1, "a", "One.", {}}, {2, "b", "Two.", {}}, {3, "c", "Three.", {}}});
    rig.reader.PlayReading();
    auto& character = *rig.service.last();
    for (int guard = 0; guard < 200 && rig.reader.isReading(); ++guard) {
        character.completeAll();
        TopicsRig::settle();
        if (character.spoken.size() >= expected.size())
            rig.reader.StopReading();
    }
    character.completeAll();
    TopicsRig::settle();
    QVERIFY(!rig.reader.isReading());
    QCOMPARE(character.spoken.mid(0, expected.size()), expected);
    QCOMPARE(rig.listBox().selectedItems().size(), 1); // the reader's de-selections were muted
    QCOMPARE(rig.listBox().currentRow(), (expected.size() - 1) % 3);
    QCOMPARE(rig.m().Text2->text(), rig.listBox().currentItem()->text());
}

QTEST_MAIN(TopicManagerTest)
#include "tst_topicmanager.moc"
