// The reader window: its commands, the text box events, the reading places and the close
// rules, in both programs' profiles; and the reading keys shared by the program's windows.
#include "ReaderWindowRig.h"
#include "reader/HelpViewer.h"
#include "reader/ReaderTextEdit.h"
#include "reader/ReadingKeys.h"
#include "reader/ReadingPlaces.h"
#include "reader/SafePaste.h"
#include "reader/TextEditBox.h"
#include "reader/WindowArrangement.h"
#include "support/HostilePaste.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextList>

using namespace folimar;
using namespace folimar::testing;
using reader::ReaderProfile;

Q_DECLARE_METATYPE(folimar::reader::ReaderProfile)

namespace {

QStringList captions(const QList<QAction*>& actions) {
    QStringList list;
    for (const QAction* a : actions)
        list.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}

void placeCaret(QTextEdit& edit, int position) {
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(position);
    edit.setTextCursor(cursor);
}

// A left click in the text at `position`.
void clickAt(QTextEdit& edit, int position) {
    QTextCursor at(edit.document());
    at.setPosition(position);
    const QRect caret = edit.cursorRect(at);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, caret.center() + QPoint(1, 0));
}

} // namespace

class ReaderWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menuBarsOfBothPrograms_data();
    void menuBarsOfBothPrograms();
    void menuCommandsDriveTheReader();
    void highlightedSentenceIsInViewAndTextFollowsChanges();
    void spokenWordIsUnderlinedUnlessTurnedOff();
    void pasteKeepsRichTextElsePlain();
    void pasteLoadsNothingTheHtmlNames_data();
    void pasteLoadsNothingTheHtmlNames();
    void tooLongPasteIsRefusedWithAWord_data();
    void tooLongPasteIsRefusedWithAWord();
    void editsMarkTheTopicDirty_data();
    void editsMarkTheTopicDirty();
    void caretKeysMoveTheReadingPlaceAndEndPauses();
    void gotoAndBackJumpAndIgnoreTheNextClick();
    void gotoWithUnstoredEditsOrPastTheLastTopic();
    void closingFollowsTheQuitRules();
    void vocimarWindowHasItsOwnCommands();
    void helpIsLookedUpAtEachOpening();
    void bookWindowFollowsTheReadersSize_data();
    void bookWindowFollowsTheReadersSize();
    void readingKeysMapBothPrograms_data();
    void readingKeysMapBothPrograms();
    void functionKeysActOnceOnReleaseInWatchedWindowsOnly();
};

void ReaderWindowTest::menuBarsOfBothPrograms_data() {
    QTest::addColumn<ReaderProfile>("profile");
    QTest::addColumn<QStringList>("bar");
    QTest::newRow("Folimar") << ReaderProfile::Folimar
                             << QStringList{"&Play",    "P&ause/Ply", "&Stop",  "&P",
                                            "&N",       "&Clear",     "Past&e", "Save as A&udio…",
                                            "&Options", "&Words",     "&Help",  "&Q"};
    QTest::newRow("Vocimar") << ReaderProfile::Vocimar
                             << QStringList{"&Play",    "P&ause/Play", "&Stop", "&N",
                                            "&Clear",   "Past&e",      "&Find", "Save as A&udio…",
                                            "&Options", "Abou&t",      "&Quit"};
}

void ReaderWindowTest::menuBarsOfBothPrograms() {
    QFETCH(ReaderProfile, profile);
    QFETCH(QStringList, bar);
    ReaderWindowRig rig(profile);
    QCOMPARE(captions(rig.window->menuBar()->actions()), bar);
    auto* popup = rig.window->findChild<QMenu*>(QStringLiteral("mnuPopup"));
    auto* help = rig.window->findChild<QMenu*>(QStringLiteral("mnuHelp"));
    if (profile == ReaderProfile::Vocimar) {
        QVERIFY(!popup && !help && !rig.action("mnuPrev") && !rig.action("mnuGoto"));
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("Vocimar"));
        return;
    }
    QVERIFY(popup && help);
    QCOMPARE(captions(popup->actions()),
             (QStringList{"&Back", "-", "&Set", "&Goto", "-", "&Add to the book's words"}));
    QCOMPARE(captions(help->actions()), (QStringList{"&About", "-", "&Topics"}));
    rig.window->setBookCaption(QStringLiteral("/books/harbour.fmr"));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("harbour.fmr"));
}

void ReaderWindowTest::menuCommandsDriveTheReader() {
    ReaderWindowRig rig;
    rig.window->Text1->setPlainText(QStringLiteral("One.\nTwo. Three."));
    rig.trigger("mnuPlay");
    rig.finish(); // the character's start-up request
    QCOMPARE(rig.character().spoken, QStringList{"One."});
    // The sentence being spoken is the text box's selection.
    QCOMPARE(rig.window->Text1->textCursor().selectionStart(), 0);
    QCOMPARE(rig.window->Text1->textCursor().selectionEnd(), 4);

    rig.finish();
    QCOMPARE(rig.character().spoken.last(), QStringLiteral("\nTwo."));
    QCOMPARE(rig.window->Text1->textCursor().selectionStart(), 4);

    rig.trigger("mnuPrev"); // back one sentence: it is read again
    rig.finish();
    QCOMPARE(rig.character().spoken.last(), QStringLiteral("One."));
    QVERIFY(!rig.state.Paused);

    rig.trigger("mnuPause");
    QVERIFY(rig.state.Paused);
    rig.trigger("mnuPause");
    QVERIFY(!rig.state.Paused);
    rig.finish();

    rig.trigger("mnuNext"); // cuts "Two." short and goes on with the next sentence
    rig.finish();
    QVERIFY(rig.character().spoken.last().startsWith(QStringLiteral(" Three")));

    rig.trigger("mnuStop");
    rig.finish();
    QVERIFY(!rig.reader.isReading());
    QVERIFY(!rig.character().isVisible());

    rig.settings.ReadPos = 7;
    rig.trigger("mnuClear");
    QVERIFY(rig.window->Text1->toPlainText().isEmpty());
    QCOMPARE(rig.settings.ReadPos, 0);

    rig.trigger("mnuAbout"); // a plain box until the About window exists
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.dialogs.messages[0].text.contains(QStringLiteral("Ver 1.91")));
}

void ReaderWindowTest::highlightedSentenceIsInViewAndTextFollowsChanges() {
    ReaderWindowRig rig;
    rig.window->resize(500, 300);
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral("Sentence %1 of a long page.\n").arg(i);
    rig.window->Text1->setPlainText(text);
    reader::TextEditBox& box = rig.window->textBox();
    QCOMPARE(box.text(), text);
    const int start = int(text.indexOf(QStringLiteral("Sentence 300 ")));
    box.setSelectionStart(start);
    box.setSelectionLength(27);
    QCOMPARE(box.selectedText(), QStringLiteral("Sentence 300 of a long page"));
    const QRect view = rig.window->Text1->viewport()->rect();
    QVERIFY(view.contains(rig.window->Text1->cursorRect()));

    // Beyond the end the selection is clipped, like the text box of old.
    box.setSelectionStart(int(text.size()) + 50);
    QCOMPARE(box.selectionStart(), int(text.size()));
    box.setSelectionLength(10);
    QCOMPARE(box.selectedText(), QString());

    rig.window->Text1->setPlainText(QStringLiteral("Short. Text."));
    QCOMPARE(box.text(), QStringLiteral("Short. Text."));
}

void ReaderWindowTest::spokenWordIsUnderlinedUnlessTurnedOff() {
    ReaderWindowRig rig;
    rig.window->resize(500, 300);
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    auto* text = qobject_cast<reader::ReaderTextEdit*>(rig.window->Text1);
    QVERIFY(text);
    rig.window->loadText(QStringLiteral("Hello there. Big world here."));
    rig.trigger("mnuPlay");
    rig.finish(); // the start-up request
    QCOMPARE(rig.character().spoken.last(), QStringLiteral("Hello there."));
    const auto marked = [&] { return text->markedWord(); };
    const auto ink = [&](int position) {
        // The colour at the underline's height below the text box's `position`.
        QTextCursor at(text->document());
        at.setPosition(position);
        const QImage shot = text->viewport()->grab().toImage();
        return shot.pixelColor(text->cursorRect(at).left() + 3, text->wordMarkRect().center().y());
    };

    rig.character().reachWord(6, 5);
    QCOMPARE(marked(), (QPair<int, int>(6, 5)));
    const QColor underline = text->palette().color(QPalette::HighlightedText);
    QCOMPARE(ink(7), underline);
    QVERIFY(ink(1) != underline); // the sentence's other word keeps the plain highlight

    rig.character().reachWord(0, 5);
    QCOMPARE(marked(), (QPair<int, int>(0, 5)));
    QCOMPARE(ink(1), underline);
    QVERIFY(ink(7) != underline);

    // Turned off in the options: the next word clears the mark instead.
    rig.settings.SpokenWordMark = 1;
    rig.character().reachWord(6, 5);
    QCOMPARE(marked(), (QPair<int, int>(0, 0)));
    rig.settings.SpokenWordMark = 0;
    rig.character().reachWord(6, 5);
    QCOMPARE(marked(), (QPair<int, int>(6, 5)));

    // The next sentence, a stop and a new text each take the mark away.
    rig.finish();
    QCOMPARE(marked(), (QPair<int, int>(0, 0)));
    rig.character().reachWord(5, 5);
    QCOMPARE(marked(), (QPair<int, int>(17, 5)));
    rig.trigger("mnuStop");
    QCOMPARE(marked(), (QPair<int, int>(0, 0)));
    text->markWord(13, 3);
    rig.window->loadText(QStringLiteral("Other text."));
    QCOMPARE(marked(), (QPair<int, int>(0, 0)));
    text->markWord(5, 400); // clipped to the text
    QCOMPARE(marked(), (QPair<int, int>(5, 6)));
}

void ReaderWindowTest::pasteKeepsRichTextElsePlain() {
    ReaderWindowRig rig;
    auto* rich = new QMimeData;
    rich->setHtml(QStringLiteral("<b>Bold</b> words."));
    rich->setText(QStringLiteral("Bold words."));
    QGuiApplication::clipboard()->setMimeData(rich);
    rig.trigger("mnuPaste");
    QCOMPARE(rig.window->Text1->toPlainText(), QStringLiteral("Bold words."));
    QTextCursor at(rig.window->Text1->document());
    at.setPosition(2);
    QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
    QVERIFY(rig.state.TopicDirty);
    QCOMPARE(rig.window->Text1->textCursor().position(), 0); // a new text: read from its top

    rig.state.TopicDirty = false;
    rig.store.ReadOnlyMode = true;
    QGuiApplication::clipboard()->setText(QStringLiteral(" Plain."));
    placeCaret(*rig.window->Text1, 11);
    rig.trigger("mnuPaste"); // goes in at the caret
    QCOMPARE(rig.window->Text1->toPlainText(), QStringLiteral("Bold words. Plain."));
    QCOMPARE(rig.window->Text1->textCursor().position(), 18);
    QVERIFY(!rig.state.TopicDirty); // a read-only book's text is never stored
}

void ReaderWindowTest::pasteLoadsNothingTheHtmlNames_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("menu, whole text") << QString() << false;
    QTest::newRow("menu, at the caret") << QStringLiteral("Start. ") << false;
    QTest::newRow("Ctrl+V in the text") << QStringLiteral("Start. ") << true;
}

// A crafted web page's HTML names local files as pictures and style sheets: none is opened
// (not even a pipe that would block for ever), only the picture carried in the HTML shows,
// and paragraphs, bold words and the list are kept.
void ReaderWindowTest::pasteLoadsNothingTheHtmlNames() {
    QFETCH(QString, before);
    QFETCH(bool, byKey);
    ReaderWindowRig rig;
    QTextEdit& text = *rig.window->Text1;
    text.setPlainText(before);
    placeCaret(text, int(before.size()));
    HostilePaste paste;
    QGuiApplication::clipboard()->setMimeData(paste.mimeData());
    if (byKey)
        QTest::keyClick(&text, Qt::Key_V, Qt::ControlModifier);
    else
        rig.trigger("mnuPaste");
    text.resize(400, 300);
    text.viewport()->grab(); // lays out and draws the pictures

    QVERIFY(!paste.pipe->opened());
    QCOMPARE(HostilePaste::pictureSizes(*text.document()), QList<QSize>{QSize(3, 2)});
    const QString plain = text.toPlainText();
    QVERIFY2(plain.startsWith(before + QStringLiteral("One bold word.")), qPrintable(plain));
    QTextCursor at(text.document());
    at.setPosition(int(before.size()) + 6);
    QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
    const QTextBlock first = text.document()->findBlock(int(plain.indexOf(QLatin1String("First"))));
    QVERIFY(first.textList());
    QCOMPARE(first.textList()->count(), 2);
    QVERIFY(plain.contains(QLatin1String("Second\nEnd")));
}

void ReaderWindowTest::tooLongPasteIsRefusedWithAWord_data() {
    QTest::addColumn<bool>("rich");
    QTest::newRow("plain") << false;
    QTest::newRow("rich") << true;
}

// A text too long to lay out at once is refused with a word; the text shown stays.
void ReaderWindowTest::tooLongPasteIsRefusedWithAWord() {
    QFETCH(bool, rich);
    ReaderWindowRig rig;
    rig.window->loadText(QStringLiteral("Kept."));
    const QString sentence = QStringLiteral("Word word word. ");
    const QString longText = sentence.repeated(reader::MaxPasteCharacters / sentence.size() + 1);
    auto* data = new QMimeData;
    if (rich)
        data->setHtml(QStringLiteral("<p>") + longText + QStringLiteral("</p>"));
    else
        data->setText(longText);
    QGuiApplication::clipboard()->setMimeData(data);
    rig.trigger("mnuPaste");
    QCOMPARE(rig.window->Text1->toPlainText(), QStringLiteral("Kept."));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages[0].text, reader::pasteTooLongMessage());
    QVERIFY(!rig.state.TopicDirty);
}

void ReaderWindowTest::editsMarkTheTopicDirty_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("dirty");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("letter") << false << "" << int(Qt::Key_A) << none << true;
    QTest::newRow("space") << false << "" << int(Qt::Key_Space) << none << true;
    QTest::newRow("backspace") << false << "" << int(Qt::Key_Backspace) << none << true;
    QTest::newRow("delete") << false << "" << int(Qt::Key_Delete) << none << true;
    QTest::newRow("ctrl+v") << false << "" << int(Qt::Key_V) << ctrl << true;
    // Nothing is selected: the cut changes nothing, so nothing is edited.
    QTest::newRow("ctrl+x, nothing selected") << false << "" << int(Qt::Key_X) << ctrl << false;
    QTest::newRow("ctrl+a") << false << "" << int(Qt::Key_A) << ctrl << false;
    QTest::newRow("arrow") << false << "" << int(Qt::Key_Left) << none << false;
    QTest::newRow("own book") << false << "me" << int(Qt::Key_A) << none << true;
    QTest::newRow("read only") << true << "" << int(Qt::Key_A) << none << false;
    QTest::newRow("read only delete") << true << "" << int(Qt::Key_Delete) << none << false;
    QTest::newRow("another user's") << false << "ann" << int(Qt::Key_A) << none << false;
    QTest::newRow("another user's delete")
        << false << "ann" << int(Qt::Key_Delete) << none << false;
}

void ReaderWindowTest::editsMarkTheTopicDirty() {
    QFETCH(bool, readOnly);
    QFETCH(QString, owner);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, dirty);
    ReaderWindowRig rig;
    rig.settings.UserName = QStringLiteral("me");
    rig.store.ReadOnlyMode = readOnly;
    rig.store.BookOwner = owner;
    rig.window->loadText(QStringLiteral("Some text."));
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted "));
    placeCaret(*rig.window->Text1, 4);
    QTest::keyClick(rig.window->Text1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(rig.state.TopicDirty, dirty);
}

void ReaderWindowTest::caretKeysMoveTheReadingPlaceAndEndPauses() {
    ReaderWindowRig rig;
    rig.window->Text1->setPlainText(QStringLiteral("First one.\nSecond one. Third."));
    placeCaret(*rig.window->Text1, 3);
    QTest::keyClick(rig.window->Text1, Qt::Key_Down);
    const int caret = rig.window->Text1->textCursor().position();
    QVERIFY(caret > 10);
    QCOMPARE(rig.settings.ReadPos, caret);
    QCOMPARE(rig.state.JumpPos, caret);
    QCOMPARE(rig.state.FindPos, caret);
    QVERIFY(rig.state.JumpPending && rig.state.UserMoved);
    QVERIFY(!rig.state.Paused); // reading goes there after the current sentence

    // Holding a key: only the real release counts.
    rig.state.JumpPending = false;
    QTest::keyRelease(rig.window->Text1, Qt::Key_Right, {}, -1);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(rig.window->Text1, &repeat);
    QVERIFY(rig.state.JumpPending);

    QTest::keyClick(rig.window->Text1, Qt::Key_End);
    QVERIFY(rig.state.Paused);
    QTest::keyClick(rig.window->Text1, Qt::Key_End); // pauses, never resumes
    QVERIFY(rig.state.Paused);
}

void ReaderWindowTest::gotoAndBackJumpAndIgnoreTheNextClick() {
    ReaderWindowRig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QTextEdit& text = *rig.window->Text1;
    WindowTopicList topics(
        {QStringLiteral("Topic zero. More of it."), QStringLiteral("Topic one. Again. And more.")},
        *rig.window, rig.settings);
    rig.window->setTopicList(&topics);

    topics.select(1);
    rig.settings.ReadPos = 11;
    rig.window->findChild<QAction*>(QStringLiteral("mnuSet"))->trigger();
    topics.select(0);
    rig.settings.ReadPos = 5;

    rig.trigger("mnuGoto");
    QCOMPARE(topics.selected.last(), 1);
    QCOMPARE(topics.deselects, 1);
    QCOMPARE(text.toPlainText(), QStringLiteral("Topic one. Again. And more."));
    QCOMPARE(rig.settings.TopicIndex, qint16(1));
    QCOMPARE(rig.settings.ReadPos, 11); // not the top the topic was shown from
    QCOMPARE(text.textCursor().position(), 11);
    QVERIFY(rig.state.JumpPending && rig.state.UserMoved && !rig.state.Paused);
    QCOMPARE(rig.state.BackTopicIndex, qint16(0));
    QCOMPARE(rig.state.BackReadPos, 5);

    clickAt(text, 20); // the click right after the jump is ignored...
    QCOMPARE(rig.settings.ReadPos, 11);
    clickAt(text, 20); // ...the next one moves the reading place
    QCOMPARE(rig.settings.ReadPos, text.textCursor().selectionStart());
    QVERIFY(rig.settings.ReadPos != 11);

    rig.trigger("mnuBack");
    QCOMPARE(topics.selected.last(), 0);
    QCOMPARE(rig.settings.ReadPos, 5);
    QCOMPARE(rig.state.BackTopicIndex, qint16(1));
}

void ReaderWindowTest::gotoWithUnstoredEditsOrPastTheLastTopic() {
    ReaderWindowRig rig;
    WindowTopicList topics({QStringLiteral("Zero."), QStringLiteral("One.")}, *rig.window,
                           rig.settings);
    rig.window->setTopicList(&topics);
    rig.window->Text1->setPlainText(QStringLiteral("Edited."));
    rig.state.BookmarkTopicIndex = 1;
    rig.state.TopicDirty = true;
    rig.trigger("mnuGoto");
    QCOMPARE(rig.addToTopicCalls, 1);
    QVERIFY(topics.selected.isEmpty());
    QCOMPARE(rig.window->Text1->toPlainText(), QStringLiteral("Edited."));
    QVERIFY(!rig.state.JumpPending);
    QVERIFY(rig.window->places().takeClick()); // nothing jumped: the click counts

    rig.state.TopicDirty = false;
    rig.state.BackTopicIndex = 2;
    rig.state.BackReadPos = 3;
    rig.trigger("mnuBack"); // a blank page for a new topic after the last one
    QCOMPARE(rig.blankPageCalls, 1);
    QVERIFY(topics.selected.isEmpty());
    QVERIFY(rig.window->Text1->toPlainText().isEmpty());
    QCOMPARE(rig.settings.TopicIndex, qint16(2));
}

void ReaderWindowTest::closingFollowsTheQuitRules() {
    {
        ReaderWindowRig rig;
        rig.window->show();
        rig.state.TopicDirty = true;
        rig.dialogs.answers.enqueue(platform::MessageAnswer::Cancel);
        rig.window->close();
        QCOMPARE(rig.dialogs.messages.size(), 1);
        const platform::MessageRequest& asked = rig.dialogs.messages[0];
        QCOMPARE(asked.text, QStringLiteral("Are you Sure you want to Quit?"));
        QCOMPARE(asked.title, QStringLiteral("First update your current topic"));
        QCOMPARE(asked.icon, platform::MessageIcon::Exclamation);
        QCOMPARE(asked.buttons, platform::MessageButtons::OkCancel);
        QVERIFY(rig.window->isVisible());
        QVERIFY(!rig.state.QuitRequested && !rig.state.QuitPending && rig.state.TopicDirty);
        QCOMPARE(rig.quitCalls, 0);

        rig.window->findChild<QAction*>(QStringLiteral("mnuQuit"))->trigger(); // OK this time
        QVERIFY(rig.state.QuitRequested);
        QCOMPARE(rig.quitCalls, 1);
        QVERIFY(rig.settings.ReaderWidth > 0); // the place is recorded for the next start
    }
    {
        // Closing while the character speaks stops reading; the program ends after the loop.
        ReaderWindowRig rig;
        rig.window->Text1->setPlainText(QStringLiteral("Speaking now. And more."));
        rig.trigger("mnuPlay");
        rig.finish();
        QVERIFY(rig.character().isVisible());
        rig.window->close();
        QVERIFY(rig.state.QuitPending);
        QVERIFY(rig.state.StopRequested);
        QVERIFY(!rig.state.QuitRequested);
        QCOMPARE(rig.quitCalls, 0);
        rig.finish();
        QVERIFY(!rig.reader.isReading());
        QVERIFY(!rig.character().isVisible());
        QVERIFY(rig.state.QuitRequested);
        QCOMPARE(rig.quitCalls, 1);
    }
    {
        // A character left showing with nothing being read does not hold the program up.
        ReaderWindowRig rig;
        QVERIFY(rig.host.ensureLoaded());
        rig.character().show();
        rig.window->close();
        QVERIFY(rig.state.QuitRequested && !rig.state.QuitPending);
        QCOMPARE(rig.quitCalls, 1);
    }
}

void ReaderWindowTest::vocimarWindowHasItsOwnCommands() {
    ReaderWindowRig rig(ReaderProfile::Vocimar);
    rig.window->placeAtLoad();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(rig.window->geometry(), reader::CentredOnScreen(screen, 0.75, 0.5));

    rig.window->Text1->setPlainText(QStringLiteral("Read this. And this."));
    rig.trigger("mnuPlay");
    QVERIFY(rig.resumeOnShow);
    rig.finish();
    QCOMPARE(rig.character().spoken, QStringList{"Read this."});
    rig.trigger("mnuStop");
    QVERIFY(!rig.resumeOnShow);
    rig.finish();

    QTest::keyClick(rig.window->Text1, Qt::Key_A); // no topics: nothing to mark
    QVERIFY(!rig.state.TopicDirty);

    rig.window->show();
    rig.window->close(); // the close box hands the window back to the tray
    QCOMPARE(rig.closeToTrayCalls, 1);
    QVERIFY(!rig.state.QuitRequested);
    rig.trigger("mnuQuit");
    QVERIFY(rig.state.QuitRequested);
    QCOMPARE(rig.quitCalls, 1);
}

// A help file installed while the program runs is found at the next opening; until then the
// message names the path looked for.
void ReaderWindowTest::helpIsLookedUpAtEachOpening() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("help.dat"));
    int lookups = 0;
    ReaderWindowRig rig(ReaderProfile::Folimar, [&] {
        ++lookups;
        return path;
    });
    rig.trigger("mnuTopics");
    auto* help = rig.window->findChild<reader::HelpViewer*>();
    QVERIFY(help);
    QVERIFY(QTest::qWaitForWindowActive(help));
    QVERIFY(!rig.dialogs.messages.isEmpty());
    QVERIFY(rig.dialogs.messages.last().text.contains(path));
    QWidget box; // the message box closing hands the activation back to the help
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    help->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(help));
    help->close();

    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Installed later.\n");
    file.close();
    rig.trigger("mnuTopics");
    QVERIFY(QTest::qWaitForWindowActive(help));
    QCOMPARE(help->Text1->toPlainText(), QStringLiteral("Installed later.\n"));
    QCOMPARE(lookups, 2);
}

void ReaderWindowTest::bookWindowFollowsTheReadersSize_data() {
    QTest::addColumn<int>("arrangement");
    QTest::addColumn<bool>("partnerMaximised");
    QTest::newRow("book left") << 0 << false;
    QTest::newRow("book right") << 1 << false;
    QTest::newRow("book top") << 2 << false;
    QTest::newRow("book bottom") << 3 << false;
    QTest::newRow("book maximised") << 1 << true;
}

void ReaderWindowTest::bookWindowFollowsTheReadersSize() {
    QFETCH(int, arrangement);
    QFETCH(bool, partnerMaximised);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const reader::ArrangedWindows places = reader::ArrangeWindows(arrangement, screen);
    ReaderWindowRig rig;
    rig.settings.WindowArrangement = qint16(arrangement);
    QWidget book; // left hidden: a shown test window gets a frame offset here
    book.setGeometry(places.book);
    if (partnerMaximised)
        book.setWindowState(Qt::WindowMaximized);
    const QRect bookBefore = book.geometry();
    rig.window->setPartnerWindow(&book);
    rig.window->placeAtLoad();
    rig.window->show();

    rig.window->resize(rig.window->width() - 40, rig.window->height() - 30);
    // Windows are placed by their outer (frame) geometry.
    const QRect reader = rig.window->frameGeometry();
    if (partnerMaximised) {
        QCOMPARE(book.geometry(), bookBefore);
        return;
    }
    const int usableHeight = qRound(screen.height() * 0.96);
    if (arrangement < 2) {
        QCOMPARE(book.frameGeometry().width(), screen.width() - reader.width());
        QCOMPARE(book.height(), bookBefore.height());
        QCOMPARE(book.x(), arrangement == 1 ? screen.x() + reader.width() : bookBefore.x());
    } else {
        QCOMPARE(book.frameGeometry().height(), usableHeight - reader.height());
        QCOMPARE(book.width(), bookBefore.width());
        QCOMPARE(book.y(), arrangement == 3 ? screen.y() + reader.height() : bookBefore.y());
    }
}

void ReaderWindowTest::readingKeysMapBothPrograms_data() {
    QTest::addColumn<ReaderProfile>("profile");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("effect");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    const auto both = [&](const char* name, int key, int modifiers, const char* folimar,
                          const char* vocimar) {
        QTest::newRow(qPrintable(QStringLiteral("Folimar ") + QLatin1String(name)))
            << ReaderProfile::Folimar << key << modifiers << QString::fromLatin1(folimar);
        QTest::newRow(qPrintable(QStringLiteral("Vocimar ") + QLatin1String(name)))
            << ReaderProfile::Vocimar << key << modifiers << QString::fromLatin1(vocimar);
    };
    both("F1", Qt::Key_F1, none, "play", "play");
    both("F2", Qt::Key_F2, none, "pause", "pause");
    both("F3", Qt::Key_F3, none, "stop", "stop");
    both("F4", Qt::Key_F4, none, "rewind", "rewind");
    both("F5", Qt::Key_F5, none, "PrevTopic", "");
    both("F6", Qt::Key_F6, none, "NextTopic", "");
    both("F7", Qt::Key_F7, none, "firstTopic", "");
    both("F8", Qt::Key_F8, none, "lastTopic", "");
    both("F9", Qt::Key_F9, none, "StoreTopic", "");
    both("F12", Qt::Key_F12, none, "skip", "skip");
    both("F11", Qt::Key_F11, none, "nextDoubtful", "");
    both("Shift+F11", Qt::Key_F11, int(Qt::ShiftModifier), "previousDoubtful", "");
    both("Ctrl+F", Qt::Key_F, ctrl, "findOnPage", "findOnPage");
    both("Ctrl+D", Qt::Key_D, ctrl, "findInDoc", "");
    both("Ctrl+T", Qt::Key_T, ctrl, "replace", "");
    both("Ctrl+G", Qt::Key_G, ctrl, "findNext", "findNext");
    both("Ctrl+R", Qt::Key_R, ctrl, "", "findNext");
    both("F", Qt::Key_F, none, "", "");
}

void ReaderWindowTest::readingKeysMapBothPrograms() {
    QFETCH(ReaderProfile, profile);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, effect);
    ReaderWindowRig rig(profile);
    rig.window->Text1->setPlainText(QStringLiteral("Some words. More."));
    QStringList done;
    const auto record = [&done](const char* name) {
        return [&done, name] { done.append(QLatin1String(name)); };
    };
    reader::ReadingKeys::Actions actions{
        record("PrevTopic"), record("NextTopic"),  record("firstTopic"),
        record("lastTopic"), record("StoreTopic"), record("findOnPage"),
        record("findInDoc"), record("replace"),    record("findNext"),
        [] { return false; },  record("nextDoubtful"), record("previousDoubtful")};
    reader::ReadingKeys keys(profile, rig.reader, actions);
    keys.watch(rig.window.get());
    QTest::keyClick(rig.window->Text1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    if (!rig.service.loads.isEmpty())
        done.append(QStringLiteral("play"));
    if (rig.state.Paused && !rig.state.SkipPause)
        done.append(QStringLiteral("pause"));
    if (rig.state.StopRequested)
        done.append(QStringLiteral("stop"));
    if (rig.state.RestartTopic && rig.settings.ReadPos == 0)
        done.append(QStringLiteral("rewind"));
    if (rig.state.NextPressed)
        done.append(QStringLiteral("skip"));
    QCOMPARE(done.join(QLatin1Char(',')), effect);
}

void ReaderWindowTest::functionKeysActOnceOnReleaseInWatchedWindowsOnly() {
    ReaderWindowRig rig;
    int stored = 0;
    reader::ReadingKeys::Actions actions;
    actions.StoreTopic = [&stored] { ++stored; };
    reader::ReadingKeys keys(ReaderProfile::Folimar, rig.reader, actions);

    // The same map in another window (the book window, the topic manager).
    QWidget book;
    auto* field = new QLineEdit(&book);
    keys.watch(&book);
    QTest::keyPress(field, Qt::Key_F9);
    QCOMPARE(stored, 0);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F9, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(field, &repeat);
    QCOMPARE(stored, 0);
    QTest::keyRelease(field, Qt::Key_F9);
    QCOMPARE(stored, 1);

    QWidget elsewhere; // not watched
    auto* other = new QLineEdit(&elsewhere);
    QTest::keyClick(other, Qt::Key_F9);
    QCOMPARE(stored, 1);

    actions.StoreTopic = nullptr; // an empty action passes the key on
    keys.setActions(actions);
    QTest::keyClick(field, Qt::Key_F9);
    QCOMPARE(stored, 1);
}

QTEST_MAIN(ReaderWindowTest)
#include "tst_readerwindow.moc"
