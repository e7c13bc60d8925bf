#include "BookWindowRig.h"
#include "recognition/PagePreparation.h"
#include "recognition/WordBoxBlob.h"
#include "support/CraftedJpeg.h"
#include "support/TestPage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QThreadPool>
#include <cmath>

using namespace folimar;
using testing::BookWindowRig;

namespace {

const QStringList Lines{QStringLiteral("A scanned page of a small book"),
                        QStringLiteral("reads aloud once its text is known.")};

QImage textPicture() {
    return testing::makeTestPage(Lines, QSize(1000, 300)).image;
}

QImage blankPicture() {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void showPage(BookWindowRig& rig, const QImage& image) {
    const QByteArray jpeg = testing::jpegBytes(image, 92);
    QFile file(rig.file("temp.jpg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(jpeg);
    file.close();
    rig.window->showPagePictureBytes(rig.file("temp.jpg"), jpeg);
    QVERIFY(rig.picture.PictureShown);
}

void choose(BookWindowRig& rig, bool readPasted, const QString& languages = "eng",
            bool straighten = true) {
    const recognition::RecognitionSettings settings{readPasted, languages, true, straighten};
    QVERIFY(settings.save(rig.file("recognition.conf")));
}

// Long enough for a small page's reading to have ended, had it not been dropped.
void waitOutAReading(BookWindowRig& rig) {
    QTest::qWait(2500);
    QVERIFY(!rig.window->readingPageText());
}

} // namespace

class TestBookWindowText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ctrlRReadsTheShownPictureIntoTheReader();
    void ctrlRAsksBeforeReplacingEdits();
    void readingIsDroppedWhenGivenUp_data();
    void readingIsDroppedWhenGivenUp();
    void pageWithoutTextOrLanguageIsSaidSo();
    void pastedPictureIsReadOnlyOnAnEmptyPage_data();
    void pastedPictureIsReadOnlyOnAnEmptyPage();
    void pastedPictureIsStoredLevelOnlyWhenChosen_data();
    void pastedPictureIsStoredLevelOnlyWhenChosen();
    void pasteIsLevelledOntoItsOwnPageOnly();
};

void TestBookWindowText::ctrlRReadsTheShownPictureIntoTheReader() {
    BookWindowRig rig;
    rig.showWindows();
    rig.readerText = QStringLiteral("old text");
    rig.navigation->setNumberAndName(QStringLiteral("1"), QStringLiteral("One"));
    showPage(rig, textPicture());
    QVERIFY(rig.state.WordBoxes.isEmpty());

    QTest::keyClick(rig.window.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(rig.window->readingPageText());
    QVERIFY(rig.window->statusBar()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.window->readingPageText(), 30000);
    QVERIFY(rig.window->statusBar()->isHidden());
    QCOMPARE(rig.readerText, Lines.join(u' '));
    QVERIFY(rig.state.TopicDirty);
    const auto boxes = recognition::decodeWordBoxes(rig.state.WordBoxes);
    QVERIFY(boxes);
    QCOMPARE(boxes->text, rig.readerText);
    QStringList boxed;
    for (const recognition::WordBox& box : boxes->words)
        boxed.append(rig.readerText.mid(box.offset, box.length));
    QCOMPARE(boxed, rig.readerText.split(u' '));
    QVERIFY(rig.dialogs.messages.isEmpty());

    // F9 keeps the boxes with the page; a new picture drops them.
    rig.window->StoreTopic();
    QCOMPARE(rig.store.readTopic(1)->WordBoxes, rig.state.WordBoxes);
    showPage(rig, blankPicture());
    QVERIFY(rig.state.WordBoxes.isEmpty());
    rig.state.TopicDirty = true;
    rig.window->StoreTopic();
    QVERIFY(rig.store.readTopic(1)->WordBoxes.isEmpty());
}

void TestBookWindowText::ctrlRAsksBeforeReplacingEdits() {
    BookWindowRig rig;
    rig.showWindows();
    showPage(rig, textPicture());
    rig.readerText = QStringLiteral("my corrected text");
    rig.state.TopicDirty = true;

    // No: nothing is read, and the edits stay.
    rig.dialogs.answers.enqueue(platform::MessageAnswer::No);
    QTest::keyClick(rig.window.get(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages[0].text,
             QStringLiteral("Replace the edited text with the text read from the picture?"));
    QCOMPARE(rig.dialogs.messages[0].buttons, platform::MessageButtons::YesNo);
    QVERIFY(!rig.window->readingPageText());
    QCOMPARE(rig.readerText, QStringLiteral("my corrected text"));

    // Yes, then edits typed during the reading: asked again, and No keeps them.
    rig.dialogs.answers.enqueue(platform::MessageAnswer::Yes);
    rig.dialogs.answers.enqueue(platform::MessageAnswer::No);
    QTest::keyClick(rig.window.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(rig.window->readingPageText());
    rig.readerText = QStringLiteral("typed meanwhile");
    QTRY_VERIFY_WITH_TIMEOUT(!rig.window->readingPageText(), 30000);
    QCOMPARE(rig.dialogs.messages.size(), 3);
    QCOMPARE(rig.readerText, QStringLiteral("typed meanwhile"));
    QVERIFY(rig.state.WordBoxes.isEmpty());
}

void TestBookWindowText::readingIsDroppedWhenGivenUp_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("page turned") << "turn";
    QTest::newRow("picture cleared") << "clear";
}

void TestBookWindowText::readingIsDroppedWhenGivenUp() {
    QFETCH(QString, how);
    BookWindowRig rig;
    rig.showWindows();
    showPage(rig, textPicture());
    rig.window->readPageText();
    QVERIFY(rig.window->readingPageText());
    if (how == "esc")
        QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    else if (how == "button")
        rig.window->findChild<QPushButton*>("cmdCancelText")->click();
    else if (how == "turn")
        showPage(rig, blankPicture());
    else
        rig.window->ClearPagePicture();
    QVERIFY(!rig.window->readingPageText());
    QVERIFY(rig.window->statusBar()->isHidden());
    waitOutAReading(rig);
    QVERIFY(rig.readerText.isEmpty());
    QVERIFY(rig.state.WordBoxes.isEmpty());
    QVERIFY(!rig.state.TopicDirty);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestBookWindowText::pageWithoutTextOrLanguageIsSaidSo() {
    BookWindowRig rig;
    rig.readerText = QStringLiteral("kept");
    showPage(rig, blankPicture());
    rig.window->readPageText();
    QTRY_COMPARE_WITH_TIMEOUT(rig.dialogs.messages.size(), 1, 30000);
    QCOMPARE(rig.dialogs.messages[0].text, QStringLiteral("No text found on this page"));

    choose(rig, false, "xyz");
    rig.window->readPageText();
    QTRY_COMPARE_WITH_TIMEOUT(rig.dialogs.messages.size(), 2, 30000);
    QVERIFY(rig.dialogs.messages[1].text.contains("tesseract-ocr-xyz"));
    QCOMPARE(rig.readerText, QStringLiteral("kept"));
    QVERIFY(!rig.state.TopicDirty);

    // No picture: nothing to read.
    rig.window->ClearPagePicture();
    rig.window->readPageText();
    QVERIFY(!rig.window->readingPageText());
}

void TestBookWindowText::pastedPictureIsReadOnlyOnAnEmptyPage_data() {
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("read");
    QTest::newRow("chosen, empty page") << true << "" << true;
    QTest::newRow("chosen, blanks only") << true << " \n" << true;
    QTest::newRow("chosen, page with text") << true << "typed" << false;
    QTest::newRow("not chosen") << false << "" << false;
}

void TestBookWindowText::pastedPictureIsReadOnlyOnAnEmptyPage() {
    QFETCH(bool, chosen);
    QFETCH(QString, text);
    QFETCH(bool, read);
    BookWindowRig rig;
    choose(rig, chosen);
    rig.readerText = text;
    QGuiApplication::clipboard()->setImage(textPicture());
    rig.paste();
    QVERIFY(!rig.window->readingPageText()); // not before the converter has ended
    rig.launcher.last->end(true);
    QCOMPARE(rig.window->readingPageText(), read);
    if (read) {
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window->readingPageText(), 30000);
        QCOMPARE(rig.readerText, Lines.join(u' '));
        QVERIFY(!rig.state.WordBoxes.isEmpty());
    } else {
        QCOMPARE(rig.readerText, text);
    }
}

void TestBookWindowText::pastedPictureIsStoredLevelOnlyWhenChosen_data() {
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<bool>("turned");
    QTest::newRow("chosen, a crooked page") << true << 3.0 << true;
    QTest::newRow("not chosen") << false << 3.0 << false;
    QTest::newRow("chosen, a page within 0.2 degrees") << true << 0.1 << false;
}

// The converter is given the picture to store: turned level on a larger canvas (nothing
// cut off, the corners white), or the picture as pasted.
void TestBookWindowText::pastedPictureIsStoredLevelOnlyWhenChosen() {
    QFETCH(bool, chosen);
    QFETCH(double, degrees);
    QFETCH(bool, turned);
    BookWindowRig rig;
    choose(rig, false, "eng", chosen);
    const QStringList lines{Lines[0], Lines[1], Lines[0], Lines[1], Lines[0], Lines[1]};
    const QImage page = testing::makeTestPage(lines, QSize(1200, 600), degrees).image;
    QGuiApplication::clipboard()->setImage(page);
    rig.paste();
    const QImage stored(rig.file("temp.bmp"));
    if (!turned) {
        QCOMPARE(stored.size(), page.size());
        return;
    }
    QVERIFY(stored.width() > page.width() && stored.height() > page.height());
    QCOMPARE(stored.pixel(0, 0), qRgb(255, 255, 255));
    const recognition::PageSkew left =
        recognition::findSkew(stored.convertToFormat(QImage::Format_Grayscale8));
    QVERIFY2(std::abs(left.degrees) < 0.3, qPrintable(QString::number(left.degrees)));
}

// While a crooked paste is turned level off the window's thread, the page shows it as
// pasted and keeps its number and what was typed; the level picture then replaces it, the
// pasted one shown until it is drawn. A page turned to meanwhile never receives it.
void TestBookWindowText::pasteIsLevelledOntoItsOwnPageOnly() {
    const QImage crooked =
        testing::makeTestPage({Lines[0], Lines[1], Lines[0], Lines[1]}, QSize(1200, 600), 3.0)
            .image;
    for (const bool turnedAway : {false, true}) {
        BookWindowRig rig;
        choose(rig, false);
        rig.showWindows();
        rig.settings.TopicIndex = 4;
        QSignalSpy finished(rig.window.get(), &bookwindow::BookWindow::pasteFinished);
        QGuiApplication::clipboard()->setImage(crooked);
        rig.window->pastePicture();
        QCOMPARE(rig.picture.PicFullWidth, crooked.width()); // shown at once, as pasted
        QTRY_VERIFY(rig.window->Image1->isVisible());
        rig.readerText = QStringLiteral("typed meanwhile");
        if (turnedAway) {
            showPage(rig, blankPicture());
            QThreadPool::globalInstance()->waitForDone(); // the levelling has ended
            QCoreApplication::processEvents();
            QVERIFY(!rig.launcher.last); // never converted
            QCOMPARE(rig.picture.PicFullWidth, blankPicture().width());
            QCOMPARE(finished.count(), 1);
            QCOMPARE(rig.navigation->unlocks, 1);
            continue;
        }
        QTRY_VERIFY(rig.launcher.last);
        QTRY_VERIFY(rig.window->Image1->isVisible());
        const qint64 asPasted = rig.window->Image1->pixmap().cacheKey();
        rig.launcher.last->end(true);
        QVERIFY(rig.picture.PicFullWidth > crooked.width()); // the level picture replaced it
        QVERIFY(rig.window->Image1->isVisible()); // without the page going blank meanwhile
        QTRY_VERIFY(rig.window->Image1->pixmap().cacheKey() != asPasted);
        QCOMPARE(rig.settings.TopicIndex, 4);
        QCOMPARE(rig.readerText, QStringLiteral("typed meanwhile"));
        QVERIFY(rig.state.TopicDirty);
        QCOMPARE(finished.count(), 1);
    }
}

QTEST_MAIN(TestBookWindowText)
#include "tst_bookwindowtext.moc"
