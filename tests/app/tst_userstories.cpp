// Stories of a user working through a book with the whole program: each ends with the
// program closed and its book and notes files read back.
#include "ProgramRig.h"
#include "bookwindow/BookFileCommands.h"
#include "bookwindow/BookWindow.h"
#include "bookwindow/ImportProgressWindow.h"
#include "platform/database/FileLock.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/link/InstanceLinkClient.h"
#include "reader/ReaderTextEdit.h"
#include "reader/ReaderWindow.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ImportFiles.h"
#include "support/ScriptedCharacter.h"
#include "support/TestPage.h"
#include "topics/NotesWindow.h"
#include "topics/TopicListBox.h"
#include "topics/TopicManager.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QWindow>
#include <algorithm>

using folimar::platform::MessageAnswer;
using folimar::testing::ProgramRig;

namespace {

const QString AddToTopic = QStringLiteral("Add to Topic ???");

// Writes the pages, and on each topic in turn the note given for it.
void writePagesWithNotes(ProgramRig& rig, const QStringList& pages, const QStringList& notes) {
    rig.writePages(pages);
    rig.press(Qt::Key_F7);
    for (qsizetype i = 0; i < notes.size(); ++i) {
        if (i > 0)
            rig.press(Qt::Key_F6);
        rig.typeNote(notes[i]);
    }
}

QImage filled(Qt::GlobalColor colour) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

QWidget* window(const char* objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(objectName))
            return widget;
    }
    return nullptr;
}

// Ctrl+D in the reader opens Find for the whole book; `text` is typed as what to find.
void findInBook(ProgramRig& rig, const QString& text) {
    rig.key(rig.reader(), Qt::Key_D, Qt::ControlModifier);
    auto* find = qobject_cast<QWidget*>(window("Form5"));
    QVERIFY(find && find->isVisible());
    auto* box = find->findChild<QLineEdit*>();
    box->clear();
    QTest::keyClicks(box, text);
}

// Ctrl+G: the next match is selected in the reader. Returns the selected text, or
// "not found" when the search said so.
QString findNext(ProgramRig& rig) {
    const qsizetype said = rig.dialogs.messages.size();
    rig.key(rig.reader(), Qt::Key_G, Qt::ControlModifier);
    if (rig.dialogs.messages.size() > said)
        return QStringLiteral("not found");
    return rig.program().readerWindow().Text1->textCursor().selectedText();
}

// A book of one topic at `path`, made as another program would have made it.
void makeBook(const QString& path) {
    QTemporaryDir scratch;
    folimar::settings::Settings settings;
    folimar::testing::ScriptedDialogs dialogs;
    folimar::store::BookStore maker{settings, {scratch.path(), scratch.path()}, dialogs};
    maker.LoadBook();
    maker.storeTopic({1, QStringLiteral("Harbour"), QStringLiteral("Boats."), {}, {}});
    maker.CloseAndCompactBook();
    QVERIFY(QFile::rename(maker.untitledBookPath(), path));
}

qsizetype timesTold(const ProgramRig& rig, const QString& text) {
    return std::count_if(rig.dialogs.messages.cbegin(), rig.dialogs.messages.cend(),
                         [&text](const folimar::platform::MessageRequest& message) {
                             return message.text.startsWith(text);
                         });
}

bool asked(const ProgramRig& rig, const QString& text) {
    for (const folimar::platform::MessageRequest& message : rig.dialogs.messages) {
        if (message.text.startsWith(text))
            return true;
    }
    return false;
}

} // namespace

class UserStories : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blankPageBeforeTheFirstTopicIsStoredAsANewTopic();
    void failedConversionKeepsThePagePicture();
    void saveAsKeepsTheUnstoredPage();
    void editsThatAreNotKeyPressesAreMarked();
    void newBookStartsWithoutAnEditedMark();
    void rightClickInTheListChangesNothing();
    void noteTypedAfterPickingAnotherTopicStaysWithItsTopic();
    void notesFollowTheirTopics();
    void notesWindowEmptiesWhenNoTopicIsShown();
    void topicManagerKeysActInTheTopicManager();
    void findWindowsStayAboveTheReader();
    void bookSearchStartsOverWhenTheBookChanges();
    void laterStartDuringTheShutdownWaitBecomesTheProgram();
    void bookHeldByAnotherProgramOpensReadOnlyWithAWord();
    void importedPagesFollowTheBooksPages();
    void eachWordIsUnderlinedAsItIsHeard();
    void escapeInTheReaderGivesUpReadingThePageText();
    void readingStartsAtTheStartOfAWord();
};

// F5 from the first topic shows a blank page; what is typed there and stored with F9 is a
// new topic, and the first topic keeps its page.
void UserStories::blankPageBeforeTheFirstTopicIsStoredAsANewTopic() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("Page one."), QStringLiteral("Page two.")});
    rig.press(Qt::Key_F7);
    QCOMPARE(rig.readerText(), QStringLiteral("Page one."));
    rig.press(Qt::Key_F5);
    QCOMPARE(rig.readerText(), QString());
    rig.type(QStringLiteral("Front matter."));
    rig.press(Qt::Key_F9);
    rig.quit();
    QCOMPARE(rig.bookRows(), (QStringList{"1|1", "2|2", "3|3"}));
    QCOMPARE(rig.storedPage(1), QStringLiteral("Page one.|0"));
    QCOMPARE(rig.storedPage(3), QStringLiteral("Front matter.|0"));
}

// A conversion that fails leaves the page with the picture it had, says so, and F9 (also
// during the wait) never stores an empty picture over the stored one.
void UserStories::failedConversionKeepsThePagePicture() {
    ProgramRig rig(ProgramRig::Converter::StandIn);
    rig.start();
    rig.writePages({QStringLiteral("Page one.")});
    rig.copyPicture(filled(Qt::red));
    rig.pastePicture();
    const qint64 stored = rig.finishConversion(true, filled(Qt::red));
    rig.press(Qt::Key_F9);

    rig.copyPicture(filled(Qt::blue));
    rig.pastePicture();
    rig.press(Qt::Key_F9); // while the converter runs
    QVERIFY(asked(rig, QStringLiteral("The picture is still being converted")));
    rig.finishConversion(false);
    QVERIFY(asked(rig, QStringLiteral("The picture could not be converted")));
    QVERIFY(rig.program().bookWindow().PictureShown());
    rig.press(Qt::Key_F9);
    rig.quit();
    QCOMPARE(rig.storedPage(1), QStringLiteral("Page one.|%1").arg(stored));
}

// Save As copies the book and keeps the page being edited, still marked as edited, so
// that F9 stores it into the copy.
void UserStories::saveAsKeepsTheUnstoredPage() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("Page one.")});
    rig.type(QStringLiteral(" Unstored."));
    const QString copy = rig.root.filePath(QStringLiteral("copy.fmr"));
    rig.dialogs.answers << MessageAnswer::Ok; // save with the page not stored
    rig.dialogs.fileAnswers << copy;
    rig.command(rig.bookWindow(), "mnuSaveAs");
    QCOMPARE(rig.readerText(), QStringLiteral("Page one. Unstored."));
    QVERIFY(rig.program().readerState().TopicDirty);
    rig.press(Qt::Key_F9);
    rig.quit();
    QCOMPARE(rig.bookPath(), copy);
    QCOMPARE(rig.storedPage(1), QStringLiteral("Page one. Unstored.|0"));
}

// Undo and a dropped text change the page as typing does: the page is marked edited and
// may not turn unstored.
void UserStories::editsThatAreNotKeyPressesAreMarked() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("Page one.")});
    rig.press(Qt::Key_F7); // the stored page, with nothing to undo
    rig.type(QStringLiteral(" Extra."));
    rig.press(Qt::Key_F9);
    QTest::keyClick(rig.program().readerWindow().Text1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(rig.readerText(), QStringLiteral("Page one."));
    QVERIFY(rig.program().readerState().TopicDirty);
    rig.press(Qt::Key_F6);
    QCOMPARE(rig.topics().windowTitle(), AddToTopic);
    rig.press(Qt::Key_F9);
    QVERIFY(!rig.program().readerState().TopicDirty);

    QWidget* viewport = rig.program().readerWindow().Text1->viewport();
    QMimeData dropped;
    dropped.setText(QStringLiteral("Dropped. "));
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(rig.readerText().contains(QStringLiteral("Dropped.")));
    QVERIFY(rig.program().readerState().TopicDirty);
}

// A page edited and then left for a new, empty book leaves no edited mark behind.
void UserStories::newBookStartsWithoutAnEditedMark() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("Page one.")});
    rig.type(QStringLiteral(" Left unstored."));
    rig.dialogs.answers << MessageAnswer::Ok << MessageAnswer::Ok; // leave the page, the book
    rig.command(rig.bookWindow(), "mnuNew");
    const int beeps = rig.dialogs.beeps;
    rig.press(Qt::Key_F6);
    QVERIFY(rig.topics().windowTitle() != AddToTopic);
    QCOMPARE(rig.dialogs.beeps, beeps);
}

// A right click opens the popup and leaves the selection on the topic shown: Delete then
// deletes that topic.
void UserStories::rightClickInTheListChangesNothing() {
    ProgramRig rig;
    rig.start();
    rig.command(rig.bookWindow(), "mnuTopics");
    rig.writePages({QStringLiteral("One."), QStringLiteral("Two."), QStringLiteral("Three.")});
    rig.clickEntry(0);
    rig.clickEntry(2, Qt::RightButton);
    QCOMPARE(rig.shownEntry(), 0);
    QCOMPARE(rig.readerText(), QStringLiteral("One."));
    rig.click("Site_del");
    rig.quit();
    QCOMPARE(rig.bookRows(), (QStringList{"2|2", "3|3"}));
}

// Picking another topic while the page is edited keeps showing the page and its note;
// what is typed into the note stays with that topic.
void UserStories::noteTypedAfterPickingAnotherTopicStaysWithItsTopic() {
    ProgramRig rig;
    rig.start();
    rig.command(rig.bookWindow(), "mnuTopics");
    writePagesWithNotes(rig, {QStringLiteral("One."), QStringLiteral("Two.")},
                        {QStringLiteral("note one"), QStringLiteral("note two")});
    rig.press(Qt::Key_F7);
    rig.type(QStringLiteral(" Edited."));
    rig.clickEntry(1);
    QCOMPARE(rig.noteText(), QStringLiteral("note one"));
    rig.typeNote(QStringLiteral(", more"));
    rig.quit();
    QCOMPARE(rig.noteRows(), (QStringList{"1|note one, more", "2|note two"}));
}

// Insert, Delete, ReNo and Merge move each note with its topic, and a freed number hands
// no note to the topic that takes it.
void UserStories::notesFollowTheirTopics() {
    ProgramRig rig;
    rig.start();
    rig.command(rig.bookWindow(), "mnuTopics");
    writePagesWithNotes(rig, {QStringLiteral("X."), QStringLiteral("Y.")},
                        {QStringLiteral("x"), QStringLiteral("y")});
    const QString source = rig.root.filePath(QStringLiteral("source.fmr"));
    rig.dialogs.fileAnswers << source;
    rig.command(rig.bookWindow(), "mnuSaveAs");
    rig.command(rig.bookWindow(), "mnuNew");
    writePagesWithNotes(rig, {QStringLiteral("A."), QStringLiteral("B."), QStringLiteral("C.")},
                        {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});

    rig.clickEntry(1);
    rig.click("SSCommand3"); // Insert before B: a new topic 2
    QCOMPARE(rig.readerText(), QString());
    QCOMPARE(rig.noteText(), QString());
    rig.clickEntry(3);
    QCOMPARE(rig.noteText(), QStringLiteral("c"));
    rig.clickEntry(2);
    QCOMPARE(rig.noteText(), QStringLiteral("b"));
    rig.click("Site_del");   // B, now topic 3
    rig.click("SSCommand7"); // ReNo: C becomes topic 3
    rig.clickEntry(2);
    QCOMPARE(rig.readerText(), QStringLiteral("C."));
    QCOMPARE(rig.noteText(), QStringLiteral("c"));

    rig.dialogs.fileAnswers << source;
    rig.command(rig.bookWindow(), "mnuMerge");
    rig.quit();
    QCOMPARE(rig.bookRows().size(), 5);
    QCOMPARE(rig.noteRows(), (QStringList{"1|a", "3|c", "4|x", "5|y"}));
}

// After Delete, on the blank pages before and after the topics, and in an empty book, the
// notes window shows no note and takes none.
void UserStories::notesWindowEmptiesWhenNoTopicIsShown() {
    ProgramRig rig;
    rig.start();
    rig.command(rig.bookWindow(), "mnuTopics");
    writePagesWithNotes(rig, {QStringLiteral("A."), QStringLiteral("B.")},
                        {QStringLiteral("a"), QStringLiteral("b")});
    auto* note = rig.program().topicManager().notesWindow().Text1;
    // The blank pages after the last topic and before the first show no topic's note,
    // and take none.
    rig.press(Qt::Key_F6);
    QCOMPARE(rig.noteText(), QString());
    QVERIFY(!note->isEnabled());
    rig.typeNote(QStringLiteral("lost"));
    rig.press(Qt::Key_F7);
    QCOMPARE(rig.noteText(), QStringLiteral("a"));
    rig.press(Qt::Key_F5);
    QCOMPARE(rig.noteText(), QString());
    QVERIFY(!note->isEnabled());
    rig.press(Qt::Key_F6);
    QCOMPARE(rig.noteText(), QStringLiteral("a"));
    QVERIFY(note->isEnabled());

    rig.clickEntry(1);
    rig.click("Site_del");
    QCOMPARE(rig.noteText(), QString());
    QVERIFY(!note->isEnabled());
    rig.clickEntry(0);
    QCOMPARE(rig.noteText(), QStringLiteral("a"));
    QVERIFY(note->isEnabled());
    rig.command(rig.bookWindow(), "mnuNew");
    QCOMPARE(rig.noteText(), QString());
    QVERIFY(!note->isEnabled());
    rig.quit();
}

// Ctrl+F in the topic manager goes back to the list and opens Find there.
void UserStories::topicManagerKeysActInTheTopicManager() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("A."), QStringLiteral("B.")});
    rig.command(rig.bookWindow(), "mnuTopics");
    rig.click("SSCommand2"); // the index view
    QVERIFY(rig.program().topicManager().DispLstBx->isHidden());
    rig.key(rig.topics(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!rig.program().topicManager().DispLstBx->isHidden());
    QVERIFY(window("Form5") && window("Form5")->isVisible());
}

// The find and replace windows belong to the reader, so activating it leaves them above.
void UserStories::findWindowsStayAboveTheReader() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("A.")});
    rig.key(rig.reader(), Qt::Key_F, Qt::ControlModifier);
    rig.key(rig.reader(), Qt::Key_T, Qt::ControlModifier);
    for (const char* name : {"Form5", "Form5a"}) {
        QWidget* found = window(name);
        QVERIFY2(found && found->windowHandle(), name);
        QCOMPARE(found->windowHandle()->transientParent(), rig.reader().windowHandle());
    }
}

// A book search starts over in the first topic of the book shown now: after another book
// is opened, and after a page is stored during the search.
void UserStories::bookSearchStartsOverWhenTheBookChanges() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("One cat."), QStringLiteral("Two.")});
    findInBook(rig, QStringLiteral("cat"));
    QCOMPARE(findNext(rig), QStringLiteral("cat"));
    QCOMPARE(rig.readerText(), QStringLiteral("One cat."));

    rig.command(rig.bookWindow(), "mnuNew");
    rig.writePages(
        {QStringLiteral("Cat first."), QStringLiteral("No match."), QStringLiteral("None here.")});
    QCOMPARE(findNext(rig), QStringLiteral("Cat"));
    QCOMPARE(rig.readerText(), QStringLiteral("Cat first."));

    // The second page gets a match and is stored while the search is in the first.
    rig.press(Qt::Key_F6);
    rig.type(QStringLiteral("A cat. "));
    rig.press(Qt::Key_F9);
    QCOMPARE(findNext(rig), QStringLiteral("Cat"));
    QCOMPARE(rig.readerText(), QStringLiteral("Cat first."));
    QCOMPARE(findNext(rig), QStringLiteral("cat"));
    QCOMPARE(rig.readerText(), QStringLiteral("A cat. No match."));
    rig.quit();
}

// While the program waits at its end for the character to leave, its book is closed: a
// later start finds no program to hand its book to, and becomes the program itself.
void UserStories::laterStartDuringTheShutdownWaitBecomesTheProgram() {
    ProgramRig rig;
    const QString link = rig.root.filePath(QStringLiteral("link"));
    rig.program().setInstanceLinkPath(link);
    rig.start();
    QVERIFY(folimar::platform::EarlierInstanceRunning(link));
    rig.type(QStringLiteral("Some text."));
    rig.press(Qt::Key_F1); // the character comes
    rig.press(Qt::Key_F3);
    QVERIFY(rig.characters.last());
    rig.characters.last()->show();

    rig.program().requestQuit();
    QTRY_VERIFY(!rig.program().store().hasBook());
    QVERIFY(rig.characters.last()->isVisible()); // still leaving: the program has not ended
    QVERIFY(!folimar::platform::EarlierInstanceRunning(link));
    rig.quit();
}

// A book another program holds opens read-only, and the user is told so: at the start as
// after Open, Prev and a handed-over book. A book nobody else holds opens without a word.
void UserStories::bookHeldByAnotherProgramOpensReadOnlyWithAWord() {
    const QString openElsewhere = QStringLiteral("This book is open in another Folimar window.");
    ProgramRig rig;
    const QString held = rig.root.filePath(QStringLiteral("Held.fmr"));
    const QString free = rig.root.filePath(QStringLiteral("Free.fmr"));
    makeBook(held);
    makeBook(free);
    folimar::database::FileLock::Outcome outcome{};
    const auto otherProgram = folimar::database::FileLock::acquire(held, &outcome);
    QVERIFY(otherProgram);

    rig.start(held);
    QCOMPARE(timesTold(rig, openElsewhere), 1);
    QVERIFY(rig.program().store().ReadOnlyMode);

    rig.dialogs.fileAnswers << free;
    rig.command(rig.bookWindow(), "mnuOPen");
    QCOMPARE(rig.program().settings().BookPath, free);
    QCOMPARE(timesTold(rig, openElsewhere), 1);
    QVERIFY(!rig.program().store().ReadOnlyMode);

    rig.command(rig.bookWindow(), "mnuPrevF");
    QCOMPARE(rig.program().settings().BookPath, held);
    QCOMPARE(timesTold(rig, openElsewhere), 2);
    QVERIFY(rig.program().store().ReadOnlyMode);

    rig.program().fileCommands().openHandedOverBook(free);
    rig.program().fileCommands().openHandedOverBook(held);
    QCOMPARE(timesTold(rig, openElsewhere), 3);
    QVERIFY(rig.program().store().ReadOnlyMode);

    rig.dialogs.fileAnswers << free << held;
    rig.command(rig.bookWindow(), "mnuOPen");
    rig.command(rig.bookWindow(), "mnuOPen");
    QCOMPARE(timesTold(rig, openElsewhere), 4);
    QCOMPARE(rig.readerText(), QStringLiteral("Boats."));
    rig.quit();
}

// File > Import adds a PDF's pages after the book's own, with a progress window and a
// summary; an edited page must be stored first.
void UserStories::importedPagesFollowTheBooksPages() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("Page one.")});
    const QString pdf = rig.root.filePath(QStringLiteral("Report.pdf"));
    QStringList pages;
    for (int i = 1; i <= 6; ++i)
        pages << QStringLiteral("Imported page %1.").arg(i);
    folimar::testing::writeTextPdf(pdf, pages);

    rig.type(QStringLiteral(" More."));
    rig.dialogs.messages.clear();
    rig.command(rig.bookWindow(), "mnuImport");
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text, QStringLiteral("1st update your topic"));
    QVERIFY(rig.dialogs.fileRequests.isEmpty());
    rig.press(Qt::Key_F9);

    rig.dialogs.messages.clear();
    rig.clickEntry(0);
    const int shown = rig.shownEntry();
    QCOMPARE(shown, 0);
    rig.dialogs.fileListAnswers << QStringList{pdf};
    rig.command(rig.bookWindow(), "mnuImport");
    auto* progress = rig.bookWindow().findChild<folimar::bookwindow::ImportProgressWindow*>(
        QStringLiteral("ImportProgressWindow"));
    QVERIFY(progress);
    QVERIFY(progress->lblImportPage->text().startsWith(QStringLiteral("Importing page ")));
    // The book stays open while the import writes into it.
    for (const char* command : {"mnuOPen", "mnuNew", "mnuPrevF"})
        rig.command(rig.bookWindow(), command);
    QCOMPARE(timesTold(rig, QStringLiteral("Can't ")), 3);
    QCOMPARE(rig.dialogs.messages.first().text,
             QStringLiteral("Can't Open while pages are being imported into this book"));
    rig.dialogs.messages.clear();
    QTRY_COMPARE_WITH_TIMEOUT(rig.dialogs.messages.size(), 1, 20000);
    QCOMPARE(rig.dialogs.messages.first().text, QStringLiteral("6 pages imported."));
    QVERIFY(!progress->isVisible());
    QCOMPARE(rig.entries().size(), 7);
    QCOMPARE(rig.entries().last(), QStringLiteral("Report p.6"));
    // Reading went on at the page shown.
    QCOMPARE(rig.shownEntry(), shown);
    QCOMPARE(rig.readerText(), QStringLiteral("Page one. More."));
    QVERIFY(rig.program().store().BookModified);
    rig.quit();
    QCOMPARE(rig.bookRows().size(), 7);
    QCOMPARE(rig.storedPage(1), QStringLiteral("Page one. More.|0"));
    QCOMPARE(rig.bookRows().at(2), QStringLiteral("3|Report p.2"));
    QCOMPARE(rig.storedPage(7).section(u'|', 0, 0), QStringLiteral("Imported page 6."));
}

// Reading aloud, the word the voice is at is underlined in the sentence; stopping takes the
// mark away, and a word the voice reports late marks nothing.
void UserStories::eachWordIsUnderlinedAsItIsHeard() {
    ProgramRig rig;
    rig.start();
    rig.type(QStringLiteral("Hello there. More words."));
    auto* text = rig.reader().findChild<folimar::reader::ReaderTextEdit*>(QStringLiteral("Text1"));
    QVERIFY(text);
    rig.press(Qt::Key_Home);
    folimar::testing::ScriptedCharacter* character = rig.startReading();
    QVERIFY(character);
    QTRY_COMPARE(character->spoken.value(0), QStringLiteral("Hello there."));
    character->reachWord(6, 5);
    QCOMPARE(text->markedWord(), (QPair<int, int>(6, 5)));
    rig.press(Qt::Key_F3);
    QCOMPARE(text->markedWord(), (QPair<int, int>(0, 0)));
    character->reachWord(0, 5);
    QCOMPARE(text->markedWord(), (QPair<int, int>(0, 0)));
    rig.quit();
}

// A pasted page's text is being read: Esc in the reader window gives the reading up, as
// it does in the book window, and nothing arrives in the reader later.
void UserStories::escapeInTheReaderGivesUpReadingThePageText() {
    ProgramRig rig(ProgramRig::Converter::StandIn);
    rig.start();
    const QImage page = folimar::testing::makeTestPage(
                            {QStringLiteral("A page whose text is read"), QStringLiteral("aloud.")},
                            QSize(1200, 400))
                            .image;
    rig.copyPicture(page);
    rig.pastePicture();
    rig.finishConversion(true, page);
    QVERIFY(rig.program().bookWindow().readingPageText());
    rig.press(Qt::Key_Escape);
    QVERIFY(!rig.program().bookWindow().readingPageText());
    QVERIFY(rig.readerText().isEmpty());
}

// However reading is moved into the middle of a word (the caret, a find, a click in the
// text), it starts at that word's start: "swallow", never "allow"; Prev goes to a
// sentence's start.
void UserStories::readingStartsAtTheStartOfAWord() {
    ProgramRig rig;
    rig.start();
    rig.writePages({QStringLiteral("Birds swallow their prey whole. Owls do too. Bats hang.")});
    auto* text = rig.reader().findChild<QTextEdit*>(QStringLiteral("Text1"));
    QVERIFY(text);

    QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 8; ++i) // into "swallow", before its "a"
        QTest::keyClick(text, Qt::Key_Right);
    folimar::testing::ScriptedCharacter* character = rig.startReading();
    QVERIFY(character);
    QTRY_COMPARE(character->spoken.value(0), QStringLiteral("swallow their prey whole."));

    rig.key(rig.reader(), Qt::Key_F, Qt::ControlModifier);
    QWidget* find = window("Form5");
    QVERIFY(find);
    QTest::keyClicks(find->findChild<QLineEdit*>(QStringLiteral("Text1")), QStringLiteral("wls"));
    find->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QTRY_COMPARE(character->spoken.last(), QStringLiteral("Owls do too."));
    find->close();

    QTextCursor inTheir(text->document());
    inTheir.setPosition(16);
    QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(inTheir).center());
    QTRY_COMPARE(character->spoken.last(), QStringLiteral("their prey whole."));

    rig.command(rig.reader(), "mnuPrev");
    QTRY_COMPARE(character->spoken.last(), QStringLiteral("Birds swallow their prey whole."));
    rig.press(Qt::Key_F3);
    rig.quit();
}

QTEST_MAIN(UserStories)
#include "tst_userstories.moc"
