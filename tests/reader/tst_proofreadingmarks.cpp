#include "ReaderWindowRig.h"
#include "proofreading/PageProofreader.h"
#include "reader/ProofreadingMarks.h"
#include "reader/ReaderTextEdit.h"
#include "reader/ReadingKeys.h"
#include "reader/TextEditBox.h"
#include "recognition/RecognitionSettings.h"
#include "recognition/WordBoxBlob.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar;
using testing::ReaderWindowRig;

namespace {

using Marks = QList<QPair<int, int>>;

// A page read as `text`, its words (between spaces) with these confidences, each word's
// box 100 pixels further right.
QByteArray boxesOf(const QString& text, const QList<int>& confidences) {
    recognition::PageText page{text, {}};
    qint32 offset = 0;
    const QStringList words = text.split(u' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        page.words.append({QRect(int(i) * 100, 10, 80, 30), offset, qint32(words[i].size()),
                           confidences.value(i, 95)});
        offset += qint32(words[i].size()) + 1;
    }
    return recognition::encodeWordBoxes(page);
}

// The reader window with the marks over it; the pages turned to are `pages`.
struct MarksRig {
    QTemporaryDir folder;
    QString settingsPath = folder.filePath(QStringLiteral("recognition.conf"));
    ReaderWindowRig rig;
    proofreading::PageProofreader proofreader;
    reader::ReaderTextEdit& text = *qobject_cast<reader::ReaderTextEdit*>(rig.window->Text1);
    QList<bool> turns;
    QStringList pages;
    reader::ProofreadingMarks marks{
        {rig.state, text, rig.window->textBox(), rig.reader, rig.host, proofreader, rig.store,
         settingsPath},
        [this](bool forward) {
            turns.append(forward);
            if (pages.isEmpty())
                return false;
            rig.state.WordBoxes.clear();
            rig.window->loadText(pages.takeFirst());
            return true;
        }};

    explicit MarksRig(bool inText = true) {
        recognition::RecognitionSettings settings;
        settings.languages = QStringLiteral("eng");
        settings.markDoubtfulInText = inText;
        settings.save(settingsPath);
        rig.host.ensureLoaded();
    }
    void show(const QString& page, const QList<int>& confidences) {
        rig.state.WordBoxes = boxesOf(page, confidences);
        rig.window->loadText(page);
    }
};

const QString Page = QStringLiteral("Tbe cat sat on teh mat.");
const QList<int> Confidences{40, 95, 95, 90, 30, 92};

} // namespace

class ProofreadingMarksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void marksFollowTheTextAndTheOptions();
    void walkGoesToEachWordSaysItSpellsItAndTurnsPages();
    void walkStopsAReadingAndTheCaretStaysOnTheWord();
};

void ProofreadingMarksTest::marksFollowTheTextAndTheOptions() {
    MarksRig r;
    QSignalSpy marked(&r.marks, &reader::ProofreadingMarks::marked);
    r.show(Page, Confidences);
    QTRY_COMPARE(r.text.doubtfulMarks(), (Marks{{0, 3}, {15, 3}}));
    QCOMPARE(marked.last().first().value<QList<QRect>>(),
             (QList<QRect>{QRect(0, 10, 80, 30), QRect(400, 10, 80, 30)}));

    // A word corrected loses its mark as it is typed; the others keep theirs, moved along.
    QTextCursor cursor(r.text.document());
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("h"));
    QTRY_COMPARE(r.text.doubtfulMarks(), (Marks{{15, 3}}));
    cursor.setPosition(0);
    cursor.insertText(QStringLiteral("Then "));
    QTRY_COMPARE(r.text.doubtfulMarks(), (Marks{{20, 3}}));

    // Turned off in the text, the picture still gets its outlines.
    MarksRig off(false);
    QSignalSpy offMarked(&off.marks, &reader::ProofreadingMarks::marked);
    off.show(Page, Confidences);
    QTRY_COMPARE(offMarked.size(), 1);
    QVERIFY(off.text.doubtfulMarks().isEmpty());
    QCOMPARE(offMarked.last().first().value<QList<QRect>>().size(), 2);
}

void ProofreadingMarksTest::walkGoesToEachWordSaysItSpellsItAndTurnsPages() {
    MarksRig r;
    QSignalSpy walked(&r.marks, &reader::ProofreadingMarks::walkedTo);
    r.show(Page, Confidences);
    r.rig.window->textBox().setSelectionStart(0);
    QStringList& spoken = r.rig.character().spoken;
    spoken.clear();

    // The keys of the reading map walk: F11 on, Shift+F11 back.
    reader::ReadingKeys keys(reader::ReaderProfile::Folimar, r.rig.reader);
    reader::ReadingKeys::Actions actions;
    actions.nextDoubtful = [&r] { r.marks.walk(true); };
    actions.previousDoubtful = [&r] { r.marks.walk(false); };
    keys.setActions(actions);
    keys.watch(r.rig.window.get());

    QVERIFY(r.marks.walk(true)); // from the top, the word at the caret first
    QCOMPARE(r.rig.window->textBox().selectionStart(), 0);
    QCOMPARE(spoken, QStringList{"Tbe"});
    QCOMPARE(walked.last().first().value<QList<QRect>>(), QList<QRect>{QRect(0, 10, 80, 30)});
    QTest::keyClick(r.text.viewport(), Qt::Key_F11);
    QCOMPARE(spoken.last(), QStringLiteral("T, b, e")); // pressed again: spelt
    QTest::keyClick(r.text.viewport(), Qt::Key_F11);
    QCOMPARE(r.rig.window->textBox().selectionStart(), 15);
    QCOMPARE(spoken.last(), QStringLiteral("teh"));
    QCOMPARE(walked.last().first().value<QList<QRect>>(), QList<QRect>{QRect(400, 10, 80, 30)});
    QTest::keyClick(r.text.viewport(), Qt::Key_F11, Qt::ShiftModifier);
    QCOMPARE(r.rig.window->textBox().selectionStart(), 0);
    QCOMPARE(spoken.last(), QStringLiteral("Tbe"));

    // Spelt going back as well; then past the first word the page before is asked for,
    // and none is there.
    QVERIFY(r.marks.walk(false));
    QCOMPARE(spoken.last(), QStringLiteral("T, b, e"));
    QVERIFY(!r.marks.walk(false));
    QCOMPARE(r.turns, QList<bool>{false});
    // Past the last: the next page, whose first doubtful word the walk goes to.
    r.pages = QStringList{QStringLiteral("A Qwrtp here.")};
    r.rig.window->textBox().setSelectionStart(16);
    QVERIFY(r.marks.walk(true));
    QCOMPARE(r.turns, (QList<bool>{false, true}));
    QCOMPARE(r.rig.window->textBox().selectionStart(), 2);
    QCOMPARE(spoken.last(), QStringLiteral("Qwrtp"));
}

// A reading of the page's last words (after its last full stop) stops at F11; its end
// leaves the caret on the word, not at the end of the text.
void ProofreadingMarksTest::walkStopsAReadingAndTheCaretStaysOnTheWord() {
    MarksRig r;
    r.show(QStringLiteral("Tbe cat sat on teh mat"), Confidences);
    r.rig.window->textBox().setSelectionStart(0);
    r.rig.reader.PlayReading();
    r.rig.finish(); // the character's start-up request
    QVERIFY(r.rig.reader.isReading());
    r.rig.window->textBox().setSelectionStart(5);
    QVERIFY(r.marks.walk(true));
    QTRY_VERIFY(!r.rig.reader.isReading());
    QCOMPARE(r.rig.window->textBox().selectionStart(), 15);
    QCOMPARE(r.rig.character().spoken.last(), QStringLiteral("teh"));
}

QTEST_MAIN(ProofreadingMarksTest)
#include "tst_proofreadingmarks.moc"
