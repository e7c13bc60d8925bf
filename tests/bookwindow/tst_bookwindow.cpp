#include "BookWindowRig.h"

#include "bookwindow/PictureConversion.h"
#include "reader/SavedGeometry.h"
#include "support/CraftedJpeg.h"
#include "support/LargePictures.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <atomic>
#include <sqlite3.h>
#include <cmath>
#include <memory>

using namespace folimar;
using folimar::testing::BookWindowRig;
using Converter = BookWindowRig::Converter;
using platform::MessageAnswer;
using platform::MessageIcon;

namespace {

QImage pagePicture(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < size.height(); y += 8)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, 90));
    return image;
}

QByteArray jpegOf(QSize size) {
    return testing::jpegBytes(pagePicture(size), 80);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QAction* action(const BookWindowRig& rig, const char* name) {
    return rig.window->findChild<QAction*>(QLatin1String(name));
}

QLabel* pictureNotice(const BookWindowRig& rig) {
    return rig.window->findChild<QLabel*>(QStringLiteral("PictureNotice"));
}

// Draws stored pictures as the program does, but holds each one of the held size on its
// worker until the test lets it go, as a vast scan on a slow machine would be.
class HeldDrawing {
public:
    explicit HeldDrawing(QSize held) : held_(held) {}
    ~HeldDrawing() { gate_->release(100); } // no worker is left waiting at the end
    HeldDrawing(const HeldDrawing&) = delete;
    HeldDrawing& operator=(const HeldDrawing&) = delete;

    bookwindow::PictureDrawing::Options options() const {
        return {[held = held_, gate = gate_, ended = ended_](const bookwindow::PagePicture& picture,
                                                             QSize size) {
                    const bool holding = picture.naturalSize() == held;
                    if (holding)
                        gate->acquire();
                    QImage image = picture.render(size);
                    if (holding)
                        ++*ended;
                    return image;
                },
                5000};
    }
    void release() { gate_->release(); }
    int ended() const { return *ended_; }

private:
    QSize held_;
    std::shared_ptr<QSemaphore> gate_ = std::make_shared<QSemaphore>();
    std::shared_ptr<std::atomic<int>> ended_ = std::make_shared<std::atomic<int>>(0);
};

} // namespace

class TestBookWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menusAndControlsCarryTheirNames();
    void turningPagesCrossesTheBlankPages();
    void unstoredPagesAskToBeAdded();
    void storingThePageRecordsTheOwnerOnce();
    void storingIsRefusedOnBooksTheUserMayNotEdit();
    void aPageTheBookRefusesIsSaidAndStaysEdited();
    void pasteWaitsForTheConverter_data();
    void pasteWaitsForTheConverter();
    void pasteQualityIsCheckedBeforeUse_data();
    void pasteQualityIsCheckedBeforeUse();
    void pasteEndsQuietlyOrWithAMessage();
    void pasteMarksThePageEditedOnlyWhereAllowed();
    void scansAt600DpiArePastedAndLargerOnesRefusedInWords();
    void pasteWithTheRealConverter();
    void storedPicturesAreFittedZoomedAndCopied();
    void fittedPicturesFollowThePageWithoutScrollBars_data();
    void fittedPicturesFollowThePageWithoutScrollBars();
    void unreadablePictureBytesShowAnEmptyPage_data();
    void unreadablePictureBytesShowAnEmptyPage();
    void slowPicturesNeitherHoldTheWindowNorLandOnAnotherPage();
    void arrangementsTileBothWindows_data();
    void arrangementsTileBothWindows();
    void readerWindowDocksOnlyWhenBothAreNormal();
    void restartsLeaveBothWindowsWhereTheyWere();
    void tinyWindowStaysSound();
    void closingAsksAndStopsReading();
    void keysAndRightClickReachTheReaderWindows();
};

void TestBookWindow::menusAndControlsCarryTheirNames() {
    BookWindowRig rig;
    const QList<QPair<const char*, QString>> items{
        {"mnuOPen", "&Open"},   {"mnuNew", "&New"},       {"mnuSaveAs", "&SaveAs"},
        {"mnuMerge", "&Merge"}, {"mnuStats", "S&tats"},   {"mnuPrevF", "&Prev"},
        {"mnuClear", "&Clear"}, {"mnuPaste", "&Past&e"},  {"mnuZw", "Z&w"},
        {"mnuZm", "Z&o"},       {"mnuZp", "Z&i"},         {"mnuLeft", "&Left"},
        {"mnuRight", "&Right"}, {"mnuTop", "&Top"},       {"mnuBottom", "&Bottom"},
        {"mnuTopics", "&Topics"}, {"mnuPrev", "&P"},      {"mnuNext", "&N"}};
    for (const auto& [name, caption] : items) {
        QAction* item = action(rig, name);
        QVERIFY2(item, name);
        QCOMPARE(item->text(), caption);
    }
    const QList<QPair<const char*, QString>> menus{
        {"mnuFile", "&File"}, {"mnuZoom", "&Zn"}, {"mnuReAlighn", "&ReAln"}};
    for (const auto& [name, title] : menus) {
        auto* menu = rig.window->findChild<QMenu*>(QLatin1String(name));
        QVERIFY2(menu, name);
        QCOMPARE(menu->title(), title);
    }
    QCOMPARE(rig.window->objectName(), QStringLiteral("Form2"));
    QVERIFY(rig.window->findChild<QLabel*>(QStringLiteral("Image1")));
    QCOMPARE(rig.window->findChild<QScrollBar*>(QStringLiteral("HScroll1"))->orientation(),
             Qt::Horizontal);
    QCOMPARE(rig.window->findChild<QScrollBar*>(QStringLiteral("VScroll1"))->orientation(),
             Qt::Vertical);
    QVERIFY(rig.window->findChild<QLabel*>(QStringLiteral("dde_spipe"))->isHidden());

    rig.settings.WindowArrangement = 2;
    rig.window->placeAtLoad();
    QVERIFY(action(rig, "mnuTop")->isChecked());
    QVERIFY(!action(rig, "mnuLeft")->isChecked());

    action(rig, "mnuOPen")->trigger();
    QCOMPARE(rig.asked, QStringList{"open"});
    rig.window->setTopicNavigationEnabled(false);
    QVERIFY(!action(rig, "mnuPrev")->isEnabled() && !action(rig, "mnuNext")->isEnabled());
}

void TestBookWindow::turningPagesCrossesTheBlankPages() {
    BookWindowRig rig({1, 2, 5});
    auto& calls = rig.navigation->calls;
    rig.settings.TopicIndex = 1;
    rig.settings.ReadPos = 40;

    rig.window->NextTopic();
    QCOMPARE(calls, QStringList({"deselect 1", "select 2"}));
    QCOMPARE(int(rig.settings.TopicIndex), 2);
    QCOMPARE(int(rig.state.BackTopicIndex), 1);
    // The topic-change protocol: a running loop goes on at the new topic's top.
    QVERIFY(rig.state.JumpPending && rig.state.UserMoved && !rig.state.Paused);
    QCOMPARE(rig.settings.ReadPos, 0);

    // Past the last topic: a blank page numbered after it.
    calls.clear();
    writeFile(rig.file("temp.jpg"), "picture");
    rig.readerText = QStringLiteral("old text");
    rig.window->setPageCaption(QStringLiteral("5 : Five"));
    rig.window->NextTopic();
    QCOMPARE(calls, QStringList({"deselect 2", "no topic"}));
    QCOMPARE(int(rig.settings.TopicIndex), 3);
    QCOMPARE(rig.navigation->numberText(), QStringLiteral("6"));
    QCOMPARE(rig.navigation->nameText(), QStringLiteral("6"));
    QVERIFY(rig.readerText.isEmpty());
    QVERIFY(rig.window->windowTitle().isEmpty());
    QVERIFY(!QFile::exists(rig.file("temp.jpg")));
    rig.window->NextTopic();
    QCOMPARE(calls, QStringList({"deselect 2", "no topic"}));

    calls.clear();
    rig.window->PrevTopic();
    QCOMPARE(calls, QStringList{"select 2"});
    QCOMPARE(int(rig.state.BackTopicIndex), 3);

    // Before the first topic, and back.
    rig.settings.TopicIndex = 0;
    calls.clear();
    rig.window->PrevTopic();
    rig.window->PrevTopic();
    QCOMPARE(calls, QStringList({"deselect 0", "no topic"}));
    QCOMPARE(int(rig.settings.TopicIndex), -1);
    rig.window->NextTopic();
    QCOMPARE(calls, QStringList({"deselect 0", "no topic", "select 0"}));

    BookWindowRig empty;
    empty.window->NextTopic();
    empty.window->PrevTopic();
    QVERIFY(empty.navigation->calls.isEmpty());
}

void TestBookWindow::unstoredPagesAskToBeAdded() {
    BookWindowRig rig({1, 2, 5});
    auto& calls = rig.navigation->calls;
    rig.settings.TopicIndex = 0;
    rig.state.TopicDirty = true;

    // Asked for, without moving: the page, its place and its number stay, with or
    // without a picture of its own.
    rig.readerText = QStringLiteral("typed");
    rig.navigation->setNumberAndName(QStringLiteral("1"), QStringLiteral("One"));
    rig.window->NextTopic();
    rig.picture.PictureShown = true;
    rig.window->PrevTopic();
    QCOMPARE(calls, QStringList({"ask", "ask"}));
    QCOMPARE(int(rig.settings.TopicIndex), 0);
    QCOMPARE(rig.navigation->numberText(), QStringLiteral("1"));

    calls.clear();
    rig.window->showTopics();
    QCOMPARE(calls, QStringList({"show", "stored", "ask"}));
    calls.clear();
    rig.state.TopicDirty = false;
    action(rig, "mnuTopics")->trigger();
    QCOMPARE(calls, QStringList({"show", "stored"}));
}

void TestBookWindow::storingThePageRecordsTheOwnerOnce() {
    BookWindowRig rig;
    rig.settings.UserName = QStringLiteral("ann");
    rig.navigation->setNumberAndName(QStringLiteral("1"), QStringLiteral("One"));
    rig.readerText = QStringLiteral("Page one.");
    const QByteArray jpeg = jpegOf(QSize(40, 30));
    writeFile(rig.file("temp.jpg"), jpeg);
    rig.state.TopicDirty = true;

    rig.window->StoreTopic();
    auto page = rig.store.readTopic(1);
    QVERIFY(page);
    QCOMPARE(page->TopicName, QStringLiteral("One"));
    QCOMPARE(page->PicText, QStringLiteral("Page one."));
    QCOMPARE(page->PicData, jpeg);
    QCOMPARE(rig.store.firstRecordOwner(), QStringLiteral("ann"));
    QCOMPARE(rig.store.BookOwner, QStringLiteral("ann"));
    QVERIFY(rig.store.BookModified);
    QVERIFY(!rig.state.TopicDirty);
    QCOMPARE(rig.navigation->calls, QStringList({"stored", "refresh"}));
    QCOMPARE(rig.navigation->locks, 1);
    QCOMPARE(rig.navigation->unlocks, 1);

    // After the picture was cleared the next page is stored without one.
    rig.window->ClearPagePicture();
    rig.navigation->setNumberAndName(QStringLiteral("0"), QStringLiteral("Zero"));
    rig.state.TopicDirty = true;
    rig.window->StoreTopic();
    QVERIFY(rig.store.readTopic(0)->PicData.isEmpty());
    QCOMPARE(rig.store.firstRecordOwner(), QString()); // the owner was not stamped again

    // A number box that holds no number stores nothing, says so and keeps the edits marked.
    rig.navigation->setNumberAndName(QStringLiteral("seven"), QStringLiteral("Seven"));
    rig.state.TopicDirty = true;
    rig.window->StoreTopic();
    QVERIFY(rig.state.TopicDirty);
    QVERIFY(rig.dialogs.messages.last().text.contains(QStringLiteral("\"seven\" is not a number")));
    QCOMPARE(rig.store.topicList().size(), 2);
    QCOMPARE(rig.navigation->locks, rig.navigation->unlocks);

    // An empty number box takes the next free number, and the page is named by it.
    rig.navigation->setNumberAndName(QString(), QString());
    rig.window->StoreTopic();
    QCOMPARE(rig.navigation->numberText(), QStringLiteral("2"));
    QCOMPARE(rig.store.readTopic(2)->TopicName, QStringLiteral("2"));
    QVERIFY(!rig.state.TopicDirty);
}

void TestBookWindow::storingIsRefusedOnBooksTheUserMayNotEdit() {
    BookWindowRig rig;
    rig.settings.UserName = QStringLiteral("ann");
    rig.navigation->setNumberAndName(QStringLiteral("1"), QStringLiteral("One"));
    rig.state.TopicDirty = true;

    rig.store.BookOwner = QStringLiteral("bob");
    rig.window->StoreTopic();
    rig.store.BookOwner.clear();
    rig.store.ReadOnlyMode = true;
    rig.window->StoreTopic();

    QCOMPARE(rig.dialogs.messages.size(), 2);
    QCOMPARE(rig.dialogs.messages[0].text, QStringLiteral("Cant edit another users document"));
    QCOMPARE(rig.dialogs.messages[1].text, QStringLiteral("File opened as Read Only"));
    for (const auto& message : rig.dialogs.messages)
        QCOMPARE(message.icon, MessageIcon::Critical);
    QVERIFY(rig.store.topicList().isEmpty());
    QVERIFY(rig.state.TopicDirty);
    QCOMPARE(rig.navigation->locks, 0);
}

// A text longer than the book takes (the engine's limit, made small here): F9 says why,
// and the page stays edited, unstored.
void TestBookWindow::aPageTheBookRefusesIsSaidAndStaysEdited() {
    BookWindowRig rig;
    constexpr int Limit = 1000;
    sqlite3_limit(rig.store.BookTable()->connection().handle(), SQLITE_LIMIT_LENGTH, Limit);
    rig.navigation->setNumberAndName(QStringLiteral("1"), QStringLiteral("One"));
    rig.readerText = QString(Limit + 1, u'x');
    rig.state.TopicDirty = true;

    rig.window->StoreTopic();
    QCOMPARE(rig.dialogs.messages.size(), 1);
    const QString said = QStringLiteral("The page could not be stored: ");
    QVERIFY2(rig.dialogs.messages[0].text.startsWith(said) &&
                 rig.dialogs.messages[0].text.size() > said.size(),
             qPrintable(rig.dialogs.messages[0].text));
    QCOMPARE(rig.dialogs.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(rig.dialogs.beeps, 0);
    QVERIFY(rig.store.topicList().isEmpty());
    QVERIFY(rig.state.TopicDirty);
    QVERIFY(!rig.navigation->calls.contains(QStringLiteral("stored")));
    QCOMPARE(rig.navigation->locks, rig.navigation->unlocks);
}

void TestBookWindow::pasteWaitsForTheConverter_data() {
    QTest::addColumn<QString>("outcome");
    QTest::newRow("converter ends") << "ends";
    QTest::newRow("converter fails") << "fails";
    QTest::newRow("converter still running after five seconds") << "slow";
}

void TestBookWindow::pasteWaitsForTheConverter() {
    QFETCH(QString, outcome);
    BookWindowRig rig;
    rig.showWindows();
    QSignalSpy finished(rig.window.get(), &bookwindow::BookWindow::pasteFinished);
    writeFile(rig.file("temp.jpg"), "the last page's picture");
    QGuiApplication::clipboard()->setImage(pagePicture(QSize(300, 200)));

    QTest::keyClick(rig.window.get(), Qt::Key_V, Qt::ControlModifier);
    QTRY_VERIFY(rig.launcher.last);
    QCOMPARE(rig.launcher.program, rig.file("bmp2jpg"));
    QCOMPARE(rig.launcher.arguments, QStringList({"-Q75", "temp.bmp"}));
    QCOMPARE(rig.launcher.folder, rig.program);
    QCOMPARE(QImageReader(rig.file("temp.bmp")).size(), QSize(300, 200));
    // Waiting: the window is not blocked, navigation is locked, the picture shows as pasted.
    QTRY_VERIFY(rig.window->Image1->isVisible());
    QCOMPARE(rig.navigation->locks, 1);
    QCOMPARE(rig.navigation->unlocks, 0);
    rig.clock.advance(4999);
    QCOMPARE(finished.count(), 0);

    QPointer<testing::StandInRun> run = rig.launcher.last;
    if (outcome == "ends")
        run->end(true);
    else if (outcome == "fails")
        run->end(false);
    else {
        writeFile(rig.file(".bmp2jpg-Ab12Cd"), "half a picture"); // the converter's output
        rig.clock.advance(1);
        QVERIFY(!QFile::exists(rig.file(".bmp2jpg-Ab12Cd")));
    }
    QCOMPARE(finished.count(), 1);
    QVERIFY(run);
    QCOMPARE(run->killed, outcome == "slow");
    QCOMPARE(rig.navigation->unlocks, 1);
    if (outcome != "ends") {
        // The page keeps the picture it had (here none) and is not edited; the user is told.
        QVERIFY(!rig.picture.PictureShown);
        QVERIFY(rig.window->Image1->isHidden());
        QVERIFY(!rig.state.TopicDirty);
        QCOMPARE(readFile(rig.file("temp.jpg")), QByteArray("the last page's picture"));
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages.front().text.startsWith(
            QStringLiteral("The picture could not be converted: ")));
        return;
    }
    QVERIFY(rig.picture.PictureShown);
    QTRY_VERIFY(rig.window->Image1->isVisible());
    QCOMPARE(QSize(rig.picture.PicFullWidth, rig.picture.PicFullHeight), QSize(300, 200));
    QCOMPARE(rig.window->Image1->pixmap().size(),
             QSize(rig.picture.PicWidth, rig.picture.PicHeight));
    QVERIFY(rig.state.TopicDirty);
    // A late deadline does nothing more.
    rig.clock.advance(10000);
    QCOMPARE(finished.count(), 1);
}

void TestBookWindow::pasteQualityIsCheckedBeforeUse_data() {
    QTest::addColumn<QString>("quality");
    QTest::addColumn<QString>("argument");
    QTest::newRow("default") << "75" << "-Q75";
    QTest::newRow("best") << "100" << "-Q100";
    QTest::newRow("smallest") << "0" << "-Q0";
    QTest::newRow("empty") << "" << "-Q75";
    QTest::newRow("above 100") << "101" << "-Q75";
    QTest::newRow("not a number") << "50 temp.jpg; rm" << "-Q75";
    QTest::newRow("negative") << "-5" << "-Q75";
}

void TestBookWindow::pasteQualityIsCheckedBeforeUse() {
    QFETCH(QString, quality);
    QFETCH(QString, argument);
    QCOMPARE(bookwindow::PictureConversion::converterArguments(quality),
             QStringList({argument, "temp.bmp"}));
}

void TestBookWindow::pasteEndsQuietlyOrWithAMessage() {
    BookWindowRig missing({}, Converter::Missing);
    QGuiApplication::clipboard()->setImage(pagePicture(QSize(50, 50)));
    missing.paste();
    QCOMPARE(missing.dialogs.messages.size(), 1);
    QCOMPARE(missing.dialogs.messages[0].text, QStringLiteral("Please re-install Folimar"));
    QCOMPARE(missing.dialogs.messages[0].title, QStringLiteral("File not Found"));
    QCOMPARE(missing.dialogs.messages[0].icon, MessageIcon::Critical);
    QVERIFY(!missing.picture.PictureShown);
    QCOMPARE(missing.navigation->unlocks, 1);

    BookWindowRig noPicture;
    QGuiApplication::clipboard()->setText(QStringLiteral("only text"));
    noPicture.window->pastePicture();
    QVERIFY(noPicture.launcher.program.isEmpty());
    QVERIFY(noPicture.dialogs.messages.isEmpty());
    QCOMPARE(noPicture.navigation->unlocks, 1);

    // A page shown while the converter runs takes over; the paste gives up.
    BookWindowRig turned;
    QGuiApplication::clipboard()->setImage(pagePicture(QSize(50, 50)));
    turned.paste();
    QPointer<testing::StandInRun> run = turned.launcher.last;
    turned.window->ClearPagePicture();
    QVERIFY(!run || run->killed);
    QCOMPARE(turned.navigation->unlocks, 1);
    QVERIFY(!turned.picture.PictureShown);
}

void TestBookWindow::pasteMarksThePageEditedOnlyWhereAllowed() {
    for (const bool readOnly : {false, true}) {
        BookWindowRig rig;
        rig.settings.UserName = QStringLiteral("ann");
        rig.store.BookOwner = readOnly ? QString() : QStringLiteral("bob");
        rig.store.ReadOnlyMode = readOnly;
        QGuiApplication::clipboard()->setImage(pagePicture(QSize(60, 40)));
        rig.paste();
        rig.launcher.last->end(true);
        QVERIFY(rig.picture.PictureShown);
        QVERIFY(!rig.state.TopicDirty);
    }
}

// Pictures other programs put on the clipboard come as encoded bytes.
void TestBookWindow::scansAt600DpiArePastedAndLargerOnesRefusedInWords() {
    BookWindowRig rig;
    rig.showWindows();
    auto* scan = new QMimeData;
    scan->setData(QStringLiteral("image/jpeg"), testing::a4At600DpiJpeg());
    QGuiApplication::clipboard()->setMimeData(scan);
    rig.paste();
    QVERIFY(rig.launcher.last);
    QCOMPARE(QImageReader(rig.file("temp.bmp")).size(), QSize(4960, 7016));
    rig.launcher.last->end(true);
    QVERIFY(rig.picture.PictureShown);
    QCOMPARE(QSize(rig.picture.PicFullWidth, rig.picture.PicFullHeight), QSize(4960, 7016));
    // Shown fitted to the window, as any page is.
    QVERIFY(rig.picture.PicHeight <= rig.window->height());
    QTRY_VERIFY(rig.window->Image1->isVisible());
    QCOMPARE(rig.window->Image1->pixmap().height(), rig.picture.PicHeight);
    QVERIFY(rig.dialogs.messages.isEmpty());

    auto* poster = new QMimeData;
    poster->setData(QStringLiteral("image/bmp"), testing::bitmapHeaderOnly(QSize(16000, 12000)));
    QGuiApplication::clipboard()->setMimeData(poster);
    rig.launcher.program.clear();
    rig.paste();
    QVERIFY(rig.launcher.program.isEmpty()); // the converter was not started
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages[0].text,
             QStringLiteral("The picture was not pasted: it is 16000 × 12000 pixels and would take "
                            "768 MB of memory, more than the 500 MB a page picture may take. Scan "
                            "it at a lower resolution (600 dpi is plenty for reading) or make it "
                            "smaller, then paste it again."));
    // The page shown before stays shown.
    QVERIFY(rig.picture.PictureShown);
    QVERIFY(rig.window->Image1->isVisible());
    QCOMPARE(rig.picture.PicFullWidth, 4960);
    QCOMPARE(rig.navigation->unlocks, 2);
}

void TestBookWindow::pasteWithTheRealConverter() {
    BookWindowRig rig({}, Converter::Real);
    QSignalSpy finished(rig.window.get(), &bookwindow::BookWindow::pasteFinished);
    QGuiApplication::clipboard()->setImage(pagePicture(QSize(600, 400)));
    rig.window->pastePicture();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    QImageReader jpeg(rig.file("temp.jpg"));
    QCOMPARE(jpeg.format(), QByteArray("jpeg"));
    QCOMPARE(jpeg.size(), QSize(600, 400));
    QVERIFY(rig.picture.PictureShown);
}

void TestBookWindow::storedPicturesAreFittedZoomedAndCopied() {
    BookWindowRig rig;
    rig.settings.DefaultZoom = 0;
    rig.showWindows();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    const QSize inner = rig.window->centralWidget()->size();
    writeFile(rig.file("temp.jpg"), jpegOf(QSize(1000, 4000)));
    // The empty page says how to begin, until there is a picture.
    const QWidget* hint = rig.window->findChild<QWidget*>(QStringLiteral("PageHint"));
    QVERIFY(hint && hint->isVisible());

    rig.window->showPagePicture(rig.file("temp.jpg"));
    const auto& picture = rig.picture;
    QVERIFY(picture.PictureShown);
    QCOMPARE(QSize(picture.PicFullWidth, picture.PicFullHeight), QSize(1000, 4000));
    QCOMPARE(picture.PicHeight, inner.height()); // shrunk to the height, proportions kept
    QVERIFY(qAbs(picture.PicWidth * 4 - picture.PicHeight) <= 4);
    QTRY_COMPARE(rig.window->Image1->pixmap().size(),
                 QSize(picture.PicWidth, picture.PicHeight));
    QVERIFY(rig.window->HScroll1->isHidden() && rig.window->VScroll1->isHidden());
    QVERIFY(hint->isHidden());

    // Opening the Zoom menu shows the natural size, with a bar to scroll down it.
    Q_EMIT rig.window->findChild<QMenu*>(QStringLiteral("mnuZoom"))->aboutToShow();
    QCOMPARE(QSize(picture.PicWidth, picture.PicHeight), QSize(1000, 4000));
    QVERIFY(rig.window->VScroll1->isVisible());
    rig.window->VScroll1->setValue(rig.window->VScroll1->maximum() / 2);
    QVERIFY(rig.window->Image1->y() < 0);
    action(rig, "mnuZp")->trigger();
    QCOMPARE(QSize(picture.PicWidth, picture.PicHeight), QSize(1500, 6000));
    QCOMPARE(rig.window->VScroll1->value(), 0);
    QCOMPARE(rig.window->Image1->pos(), QPoint(0, 0));

    rig.settings.DefaultZoom = 1;
    rig.window->RefitPicture();
    QVERIFY(picture.PicHeight <= inner.height() && picture.PicWidth <= inner.width());

    QTest::keyClick(rig.window.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(1000, 4000));
    QTest::keyClick(rig.window.get(), Qt::Key_X, Qt::ControlModifier);
    QVERIFY(!picture.PictureShown);
    QCOMPARE(picture.PicWidth, 0);
    QVERIFY(!QFile::exists(rig.file("temp.jpg")));
    QVERIFY(rig.window->Image1->isHidden());
    QVERIFY(hint->isVisible());
}

void TestBookWindow::fittedPicturesFollowThePageWithoutScrollBars_data() {
    QTest::addColumn<int>("defaultZoom");
    QTest::addColumn<QSize>("natural");
    QTest::newRow("tall scan fitted") << 1 << QSize(1000, 4000);
    QTest::newRow("wide scan fitted") << 1 << QSize(4000, 1000);
    QTest::newRow("scan at the window's width") << 0 << QSize(1000, 1200);
}

void TestBookWindow::fittedPicturesFollowThePageWithoutScrollBars() {
    QFETCH(int, defaultZoom);
    QFETCH(QSize, natural);
    BookWindowRig rig;
    rig.settings.DefaultZoom = defaultZoom;
    rig.showWindows();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    writeFile(rig.file("temp.jpg"), jpegOf(natural));
    rig.window->showPagePicture(rig.file("temp.jpg"));
    const QWidget* page = rig.window->centralWidget();
    // Drawn at a size that fills the page across or down and overflows neither way.
    const auto fitsWithoutBars = [&] {
        const QSize shown(rig.picture.PicWidth, rig.picture.PicHeight);
        return rig.window->Image1->pixmap().size() == shown &&
               page->size().expandedTo(shown) == page->size() &&
               (shown.width() == page->width() || shown.height() == page->height()) &&
               rig.window->HScroll1->isHidden() && rig.window->VScroll1->isHidden();
    };
    QTRY_VERIFY(fitsWithoutBars());

    // A restored window takes its frame once on screen, after its page was shown.
    rig.window->resize(rig.window->size() - QSize(30, 30));
    QTRY_VERIFY(fitsWithoutBars());
    // Text's progress strip comes and goes under the page.
    rig.window->statusBar()->show();
    QTRY_VERIFY(fitsWithoutBars());
    rig.window->statusBar()->hide();
    QTRY_VERIFY(fitsWithoutBars());

    // A zoomed picture keeps the size it was zoomed to.
    rig.window->zoomNatural();
    const QSize before = page->size();
    rig.window->resize(rig.window->size() + QSize(20, 20));
    QTRY_VERIFY(page->size() != before);
    QCOMPARE(QSize(rig.picture.PicWidth, rig.picture.PicHeight), natural);
}

void TestBookWindow::unreadablePictureBytesShowAnEmptyPage_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QString broken = QStringLiteral("it is damaged or is not a picture");
    QTest::newRow("empty") << QByteArray() << broken;
    QTest::newRow("text") << QByteArray("not a picture at all") << broken;
    QTest::newRow("a JPEG's start only") << jpegOf(QSize(400, 300)).left(200) << broken;
    QTest::newRow("a few KB claiming 30000 x 30000, progressive")
        << testing::jpegClaiming({30000, 30000}, true)
        << QStringLiteral("it is too large to decode");
}

void TestBookWindow::unreadablePictureBytesShowAnEmptyPage() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    BookWindowRig rig;
    rig.showWindows();
    writeFile(rig.file("temp.jpg"), jpegOf(QSize(80, 60)));
    rig.window->showPagePicture(rig.file("temp.jpg"));
    QVERIFY(rig.picture.PictureShown);

    writeFile(rig.file("temp.jpg"), bytes);
    rig.window->showPagePicture(rig.file("temp.jpg"));
    QVERIFY(!rig.picture.PictureShown);
    QCOMPARE(rig.picture.PicWidth, 0);
    QVERIFY(rig.window->Image1->isHidden());
    // The stored bytes stay where a later store finds them.
    QVERIFY(QFile::exists(rig.file("temp.jpg")));
    rig.window->zoomIn(); // nothing to zoom
    QCOMPARE(rig.picture.PicWidth, 0);
    QLabel* notice = pictureNotice(rig);
    QVERIFY(notice && notice->isVisible());
    QCOMPARE(notice->text(),
             QStringLiteral("This page's picture could not be shown: %1.").arg(reason));

    // Storing the page keeps its picture as it came.
    rig.navigation->setNumberAndName(QStringLiteral("3"), QStringLiteral("Three"));
    rig.state.TopicDirty = true;
    rig.window->StoreTopic();
    QCOMPARE(rig.store.readTopic(3)->PicData, bytes);
    // Another page takes the word away.
    writeFile(rig.file("temp.jpg"), jpegOf(QSize(80, 60)));
    rig.window->showPagePicture(rig.file("temp.jpg"));
    QVERIFY(notice->isHidden());
    QTRY_VERIFY(rig.window->Image1->isVisible());
}

void TestBookWindow::slowPicturesNeitherHoldTheWindowNorLandOnAnotherPage() {
    const QByteArray slow = jpegOf(QSize(400, 300));
    const QByteArray quick = jpegOf(QSize(300, 400));
    HeldDrawing held(QSize(400, 300));
    BookWindowRig rig({}, Converter::StandIn, held.options());
    rig.showWindows();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QLabel* notice = pictureNotice(rig);
    const auto show = [&rig](const QByteArray& jpeg) {
        writeFile(rig.file("temp.jpg"), jpeg);
        rig.window->showPagePictureBytes(rig.file("temp.jpg"), jpeg);
    };

    // While the slow page is drawn the window answers, its page empty for now.
    show(slow);
    QVERIFY(rig.picture.PictureShown);
    QVERIFY(rig.window->Image1->isHidden());
    QVERIFY(notice->isHidden());
    // The user turns on before it is drawn: the next page shows, and the slow drawing,
    // once it ends, is dropped.
    show(quick);
    QTRY_VERIFY(rig.window->Image1->isVisible());
    const QSize quickShown = rig.window->Image1->pixmap().size();
    QCOMPARE(quickShown, QSize(rig.picture.PicWidth, rig.picture.PicHeight));
    QVERIFY(quickShown.height() > quickShown.width());
    held.release();
    QTRY_COMPARE(held.ended(), 1);
    QTest::qWait(50);
    QCOMPARE(rig.window->Image1->pixmap().size(), quickShown);
    QCOMPARE(QSize(rig.picture.PicFullWidth, rig.picture.PicFullHeight), QSize(300, 400));

    // A drawing past its time bound leaves an empty page that says why; its late end shows
    // nothing, and storing the page keeps its picture.
    show(slow);
    rig.clock.advance(4999);
    QVERIFY(notice->isHidden());
    rig.clock.advance(1);
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("This page's picture could not be shown: decoding it "
                                            "took longer than 5 seconds."));
    QVERIFY(!rig.picture.PictureShown);
    held.release();
    QTRY_COMPARE(held.ended(), 2);
    QTest::qWait(50);
    QVERIFY(rig.window->Image1->isHidden());
    QVERIFY(notice->isVisible());
    rig.navigation->setNumberAndName(QStringLiteral("4"), QStringLiteral("Four"));
    rig.readerText = QStringLiteral("Page four.");
    rig.state.TopicDirty = true;
    rig.window->StoreTopic();
    QCOMPARE(rig.store.readTopic(4)->PicData, slow);

    // An arrangement while a page is drawn draws it again at its new size.
    show(slow);
    rig.window->arrangeWindows(2);
    held.release();
    held.release();
    QTRY_VERIFY(rig.window->Image1->isVisible());
    QCOMPARE(rig.window->Image1->pixmap().size(),
             QSize(rig.picture.PicWidth, rig.picture.PicHeight));
}

void TestBookWindow::arrangementsTileBothWindows_data() {
    QTest::addColumn<int>("arrangement");
    QTest::addColumn<QString>("item");
    QTest::newRow("left") << 0 << "mnuLeft";
    QTest::newRow("right") << 1 << "mnuRight";
    QTest::newRow("top") << 2 << "mnuTop";
    QTest::newRow("bottom") << 3 << "mnuBottom";
}

void TestBookWindow::arrangementsTileBothWindows() {
    QFETCH(int, arrangement);
    QFETCH(QString, item);
    BookWindowRig rig;
    rig.settings.WindowArrangement = arrangement == 0 ? 1 : 0;
    rig.showWindows();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.service.characterSize = QSize(8, 8); // small enough to stand anywhere on the screen
    QVERIFY(rig.host.ensureLoaded());
    writeFile(rig.file("temp.jpg"), jpegOf(QSize(2000, 1000)));
    rig.window->showPagePicture(rig.file("temp.jpg"));

    rig.window->findChild<QAction*>(item)->trigger();
    const auto places = reader::ArrangeWindows(arrangement, rig.window->screen()->geometry());
    // Windows are placed by their outer (frame) geometry.
    QCOMPARE(rig.window->frameGeometry(), places.book);
    QCOMPARE(rig.readerWindow.frameGeometry(), places.reader);
    QCOMPARE(int(rig.settings.WindowArrangement), arrangement);
    for (const char* name : {"mnuLeft", "mnuRight", "mnuTop", "mnuBottom"})
        QCOMPARE(action(rig, name)->isChecked(), item == QLatin1String(name));
    // The picture fits its new window.
    QVERIFY(rig.picture.PicWidth <= rig.window->centralWidget()->width());

    // "Auto": the character stands at the bottom centre, 1000 twips above the lower edge.
    const QRect frame = rig.window->frameGeometry();
    const int lift = reader::TwipsToPixels(1000, rig.window->logicalDpiY());
    const QPoint placed = rig.host.character()->position();
    QVERIFY(qAbs(placed.x() - (frame.x() + frame.width() / 2)) <= 1);
    QVERIFY(qAbs(placed.y() - (frame.y() + frame.height() - lift)) <= 1);
    QCOMPARE(QPoint(rig.settings.AgentLeft, rig.settings.AgentTop), placed);

    // "Saved" leaves the character where it is.
    rig.settings.AgentStartPos = 1;
    rig.host.character()->setPosition(QPoint(7, 9));
    rig.window->arrangeWindows((arrangement + 1) % 4);
    QCOMPARE(rig.host.character()->position(), QPoint(7, 9));
}

void TestBookWindow::readerWindowDocksOnlyWhenBothAreNormal() {
    BookWindowRig rig;
    rig.settings.WindowArrangement = 0;
    rig.showWindows();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    const QRect screen = rig.window->screen()->geometry();

    rig.window->resize(300, rig.window->height());
    const int bookWidth = rig.window->frameGeometry().width();
    QCOMPARE(rig.readerWindow.frameGeometry().width(), screen.width() - bookWidth);
    QCOMPARE(rig.readerWindow.frameGeometry().x(), screen.x() + bookWidth);

    rig.readerWindow.setWindowState(Qt::WindowMinimized);
    const QRect before = rig.readerWindow.normalGeometry();
    rig.window->resize(250, rig.window->height());
    QCOMPARE(rig.readerWindow.normalGeometry(), before);
}

// Each round is a restart: both windows placed from the settings before they are shown (and
// so before their frames are known), then shown, then remembered.
void TestBookWindow::restartsLeaveBothWindowsWhereTheyWere() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect book(screen.topLeft(), QSize(screen.width() * 2 / 5, 467));
    const QRect reader(book.topRight() + QPoint(1, 0), QSize(screen.width() - book.width(), 467));
    settings::Settings saved;
    saved.WindowArrangement = 0;
    saved.BookLeft = qint16(book.x()), saved.BookTop = qint16(book.y());
    saved.BookWidth = qint16(book.width()), saved.BookHeight = qint16(book.height());
    saved.ReaderLeft = qint16(reader.x()), saved.ReaderTop = qint16(reader.y());
    saved.ReaderWidth = qint16(reader.width()), saved.ReaderHeight = qint16(reader.height());
    for (int round = 0; round < 10; ++round) {
        BookWindowRig rig;
        rig.settings = saved;
        rig.window->placeAtLoad();
        reader::SavedGeometry{saved.ReaderLeft, saved.ReaderTop, saved.ReaderWidth,
                              saved.ReaderHeight, 0}
            .restore(rig.readerWindow);
        rig.window->setReaderWindow(&rig.readerWindow);
        rig.window->show();
        rig.readerWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        QVERIFY(QTest::qWaitForWindowExposed(&rig.readerWindow));
        QCoreApplication::processEvents();
        QVERIFY(rig.window->frameGeometry() != rig.window->geometry()); // the frame is known
        QCOMPARE(rig.window->frameGeometry(), book);
        QCOMPARE(rig.readerWindow.frameGeometry(), reader);
        rig.window->rememberGeometry();
        const auto readerNow = reader::SavedGeometry::of(rig.readerWindow);
        saved = rig.settings;
        saved.ReaderLeft = readerNow.left, saved.ReaderTop = readerNow.top;
        saved.ReaderWidth = readerNow.width, saved.ReaderHeight = readerNow.height;
    }
}

void TestBookWindow::tinyWindowStaysSound() {
    BookWindowRig rig;
    rig.showWindows();
    writeFile(rig.file("temp.jpg"), jpegOf(QSize(300, 900)));
    rig.window->showPagePicture(rig.file("temp.jpg"));
    Q_EMIT rig.window->findChild<QMenu*>(QStringLiteral("mnuZoom"))->aboutToShow();

    rig.window->setMinimumSize(1, 1);
    rig.window->resize(1, 1);
    rig.window->centralWidget()->resize(3, 2);
    for (QWidget* bar : {static_cast<QWidget*>(rig.window->HScroll1),
                         static_cast<QWidget*>(rig.window->VScroll1)})
        QVERIFY(bar->width() >= 0 && bar->height() >= 0);
    QVERIFY(std::isfinite(rig.picture.HRatio) && std::isfinite(rig.picture.VRatio));
    rig.window->zoomWindowWidth();
    rig.window->zoomOut();
    rig.window->RefitPicture();
    QVERIFY(rig.picture.PicWidth >= 1 && rig.picture.PicHeight >= 1);
    rig.window->VScroll1->setValue(rig.window->VScroll1->maximum());
}

void TestBookWindow::closingAsksAndStopsReading() {
    BookWindowRig rig;
    rig.showWindows();
    rig.window->resize(333, 222);
    rig.state.TopicDirty = true;
    rig.dialogs.answers.enqueue(MessageAnswer::Cancel);
    rig.window->close();
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages[0].text, QStringLiteral("Are you Sure you want to Quit?"));
    QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("First update your current topic"));
    QCOMPARE(rig.dialogs.messages[0].icon, MessageIcon::Exclamation);
    // Stored (as outer sizes) before asking.
    QCOMPARE(int(rig.settings.BookWidth), rig.window->frameGeometry().width());
    QCOMPARE(int(rig.settings.ReaderWidth), rig.readerWindow.frameGeometry().width());
    QVERIFY(!rig.state.QuitRequested);
    QCOMPARE(rig.quits, 0);

    QVERIFY(rig.host.ensureLoaded());
    rig.host.character()->show();
    rig.dialogs.answers.enqueue(MessageAnswer::Ok);
    rig.window->close();
    QVERIFY(rig.state.StopRequested);
    QVERIFY(rig.state.QuitPending && rig.state.QuitRequested);
    QCOMPARE(rig.quits, 1);
    QVERIFY(rig.window->isVisible());
}

void TestBookWindow::keysAndRightClickReachTheReaderWindows() {
    BookWindowRig rig;
    rig.showWindows();
    for (const Qt::Key key : {Qt::Key_F, Qt::Key_D, Qt::Key_T, Qt::Key_G})
        QTest::keyClick(rig.window.get(), key, Qt::ControlModifier);
    QCOMPARE(rig.asked, QStringList({"find on page", "find in doc", "replace", "find next"}));

    writeFile(rig.file("temp.jpg"), jpegOf(QSize(80, 60)));
    rig.window->showPagePicture(rig.file("temp.jpg"));
    QTest::mouseClick(rig.window->Image1, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseClick(rig.window->centralWidget(), Qt::RightButton, {}, QPoint(200, 100));
    QTest::mouseClick(rig.window->centralWidget(), Qt::LeftButton, {}, QPoint(200, 100));
    QCOMPARE(rig.popups.size(), 2);
    QCOMPARE(rig.popups[0], rig.window->Image1->mapToGlobal(QPoint(5, 5)));
}

QTEST_MAIN(TestBookWindow)
#include "tst_bookwindow.moc"
