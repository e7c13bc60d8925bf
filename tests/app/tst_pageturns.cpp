// The page on screen and what names it (the list position and selection, the number and
// name boxes, the book window's caption) never part: F9 stores the page shown into the
// topic it was shown as.
#include "ProgramRig.h"
#include "bookwindow/BookWindow.h"
#include "reader/ReaderWindow.h"
#include "settings/Settings.h"
#include "topics/TopicListBox.h"
#include "topics/TopicManager.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>
#include <functional>

using folimar::testing::ProgramRig;

namespace {

// What names the page shown: "index|No|Name|caption|selected entry".
QString naming(ProgramRig& rig) {
    folimar::topics::TopicManager& topics = rig.program().topicManager();
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(rig.program().settings().TopicIndex)
        .arg(topics.Text1->text(), topics.Text2->text(), rig.bookWindow().windowTitle())
        .arg(rig.shownEntry());
}

// Types `text` at the end of the page's text.
void typeAtEnd(ProgramRig& rig, const QString& text) {
    rig.program().readerWindow().Text1->moveCursor(QTextCursor::End);
    rig.type(text);
}

} // namespace

class PageTurns : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aRefusedTurnChangesNothing_data();
    void aRefusedTurnChangesNothing();
    void theStoredPageIsTheTopicShown();
};

void PageTurns::aRefusedTurnChangesNothing_data() {
    QTest::addColumn<QString>("turn");
    QTest::addColumn<bool>("pastePicture"); // a picture pasted after the refused turn
    for (const char* turn : {"F5", "F6", "F7", "F8", "list", "index", "goto", "insert", "back"})
        QTest::newRow(turn) << QString::fromLatin1(turn) << false;
    QTest::newRow("F8, then a picture pasted") << QStringLiteral("F8") << true;
}

// Topic 2 is edited, and every way of showing another topic is refused: the page, its
// number, name, caption and list entry stay, and F9 stores the page into topic 2.
void PageTurns::aRefusedTurnChangesNothing() {
    QFETCH(QString, turn);
    QFETCH(bool, pastePicture);
    ProgramRig rig;
    rig.start();
    rig.command(rig.bookWindow(), "mnuTopics");
    rig.writePages({QStringLiteral("One."), QStringLiteral("Two."), QStringLiteral("Three.")});
    rig.press(Qt::Key_F7);
    rig.press(Qt::Key_F6);
    typeAtEnd(rig, QStringLiteral(" Edited."));
    const QString shown = naming(rig);
    QCOMPARE(shown, QStringLiteral("1|2|2|2 : 2|1"));

    folimar::topics::TopicManager& topics = rig.program().topicManager();
    const QHash<QString, std::function<void()>> turns{
        {QStringLiteral("F5"), [&] { rig.press(Qt::Key_F5); }},
        {QStringLiteral("F6"), [&] { rig.press(Qt::Key_F6); }},
        {QStringLiteral("F7"), [&] { rig.press(Qt::Key_F7); }},
        {QStringLiteral("F8"), [&] { rig.press(Qt::Key_F8); }},
        {QStringLiteral("list"), [&] { rig.clickEntry(0); }},
        {QStringLiteral("index"),
         [&] {
             rig.click("SSCommand2");
             Q_EMIT topics.DBCombo1->activated(0);
         }},
        {QStringLiteral("goto"),
         [&] {
             rig.program().readerState().BookmarkTopicIndex = 2;
             rig.command(rig.reader(), "mnuGoto");
         }},
        {QStringLiteral("insert"), [&] { rig.click("SSCommand3"); }},
        {QStringLiteral("back"),
         [&] {
             rig.program().readerState().BackTopicIndex = 0;
             rig.command(rig.reader(), "mnuBack");
         }},
    };
    turns.value(turn)();
    QCOMPARE(naming(rig), shown);
    QCOMPARE(rig.readerText(), QStringLiteral("Two. Edited."));
    QCOMPARE(rig.topics().windowTitle(), QStringLiteral("Add to Topic ???"));
    qint64 pictureSize = 0;
    if (pastePicture) {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::red);
        rig.copyPicture(picture);
        rig.pastePicture();
        pictureSize = QFileInfo(rig.workFile(QStringLiteral("temp.jpg"))).size();
        QVERIFY(pictureSize > 0);
        QCOMPARE(naming(rig), shown);
    }
    rig.press(Qt::Key_F9);
    rig.quit();
    QCOMPARE(rig.bookRows(), (QStringList{"1|1", "2|2", "3|3"}));
    QCOMPARE(rig.storedPage(1), QStringLiteral("One.|0"));
    QCOMPARE(rig.storedPage(2), QStringLiteral("Two. Edited.|%1").arg(pictureSize));
    QCOMPARE(rig.storedPage(3), QStringLiteral("Three.|0"));
}

// A new book's first page is topic 1; a page stored on a blank page becomes the topic
// shown; after Delete and ReNo the numbers, names and caption follow the page shown.
void PageTurns::theStoredPageIsTheTopicShown() {
    ProgramRig rig;
    rig.start();
    QCOMPARE(naming(rig), QStringLiteral("0|1|1||-1"));
    rig.writePages({QStringLiteral("One."), QStringLiteral("Two.")});
    QCOMPARE(naming(rig), QStringLiteral("1|2|2|2 : 2|1"));
    rig.press(Qt::Key_F7);
    rig.press(Qt::Key_F5); // the blank page before the first topic
    rig.type(QStringLiteral("Front."));
    rig.press(Qt::Key_F9);
    QCOMPARE(naming(rig), QStringLiteral("2|3|3|3 : 3|2"));
    rig.press(Qt::Key_F5);
    QCOMPARE(rig.readerText(), QStringLiteral("Two."));

    rig.command(rig.bookWindow(), "mnuTopics");
    rig.click("Site_del"); // topic 2
    QCOMPARE(naming(rig), QStringLiteral("2|4|4||-1"));
    QCOMPARE(rig.readerText(), QString());
    rig.press(Qt::Key_F5);
    QCOMPARE(rig.readerText(), QStringLiteral("Front."));
    typeAtEnd(rig, QStringLiteral(" Edited."));
    rig.click("SSCommand7"); // ReNo: topic 3 becomes 2, still edited
    QCOMPARE(naming(rig), QStringLiteral("1|2|3|2 : 3|1"));
    rig.press(Qt::Key_F9);
    rig.quit();
    QCOMPARE(rig.bookRows(), (QStringList{"1|1", "2|3"}));
    QCOMPARE(rig.storedPage(2), QStringLiteral("Front. Edited.|0"));
}

QTEST_MAIN(PageTurns)
#include "tst_pageturns.moc"
