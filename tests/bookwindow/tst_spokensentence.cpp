// The sentence being read, marked on the page picture from the words found on it.
#include "BookWindowRig.h"
#include "bookwindow/SpokenSentenceMark.h"
#include "recognition/WordBoxBlob.h"
#include "support/CraftedJpeg.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <limits>

using namespace folimar;
using testing::BookWindowRig;

namespace {

const QString Recognised = QStringLiteral("One two three. Four five.");
const QSize PictureSize(1000, 400);
// "One two three." on the first line, "Four five." on the second.
const QList<recognition::WordBox> Words{{QRect(100, 100, 80, 40), 0, 3},
                                        {QRect(200, 100, 80, 40), 4, 3},
                                        {QRect(300, 100, 120, 40), 8, 6},
                                        {QRect(100, 200, 90, 40), 15, 4},
                                        {QRect(200, 200, 100, 40), 20, 5}};
const QRect FirstLine(100, 100, 320, 40);
const QRect SecondLine(100, 200, 200, 40);

void showRecognisedPage(BookWindowRig& rig) {
    QImage image(PictureSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    rig.window->showPagePictureBytes(rig.file("temp.jpg"), testing::jpegBytes(image, 90));
    QTRY_VERIFY(rig.window->findChild<QLabel*>("Image1")->isVisible());
    rig.state.WordBoxes = recognition::encodeWordBoxes({Recognised, Words});
    rig.readerText = Recognised;
}

// A band as drawn over the picture shown at its present size.
QRect shown(const BookWindowRig& rig, const QRect& band) {
    const QSize size = rig.window->findChild<QLabel*>("Image1")->size();
    const double x = double(size.width()) / PictureSize.width();
    const double y = double(size.height()) / PictureSize.height();
    return QRectF(band.x() * x, band.y() * y, band.width() * x, band.height() * y).toAlignedRect();
}

QList<QRect> bands(const BookWindowRig& rig) {
    return rig.window->sentenceMark()->shownBands();
}

} // namespace

class SpokenSentenceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theSentenceIsMarkedAtEachSizeAndAfterEdits();
    void aClickOnAWordReadsFromThere();
    void aSentenceOutOfViewIsScrolledIntoIt();
    void theSpokenWordIsUnderlinedInItsSentence();
};

void SpokenSentenceTest::theSentenceIsMarkedAtEachSizeAndAfterEdits() {
    BookWindowRig rig;
    rig.showWindows();
    showRecognisedPage(rig);

    rig.window->markSpokenSentence(0, 14);
    QCOMPARE(bands(rig), QList<QRect>{shown(rig, FirstLine)});
    rig.window->zoomIn();
    QCOMPARE(bands(rig), QList<QRect>{shown(rig, FirstLine)});
    rig.window->zoomWindowWidth();
    rig.window->markSpokenSentence(15, 10);
    QCOMPARE(bands(rig), QList<QRect>{shown(rig, SecondLine)});

    // A sentence put in by hand has no place on the picture; the words around it keep theirs.
    rig.readerText = QStringLiteral("One two three. Typed in by hand. Four five.");
    rig.window->markSpokenSentence(15, 17);
    QVERIFY(bands(rig).isEmpty());
    rig.window->markSpokenSentence(33, 10);
    QCOMPARE(bands(rig), QList<QRect>{shown(rig, SecondLine)});
    // A text with nothing in common with the page is never marked.
    rig.readerText = QStringLiteral("Something else entirely, pasted over it.");
    rig.window->markSpokenSentence(0, 20);
    QVERIFY(bands(rig).isEmpty());

    // Stopping clears the mark; so does a user who does not want it, and a new picture.
    rig.readerText = Recognised;
    rig.window->markSpokenSentence(0, 14);
    QVERIFY(!bands(rig).isEmpty());
    rig.window->clearSpokenSentence();
    QVERIFY(bands(rig).isEmpty());
    recognition::RecognitionSettings choices;
    choices.showSpokenSentence = false;
    QVERIFY(choices.save(rig.file("recognition.conf")));
    rig.window->markSpokenSentence(0, 14);
    QVERIFY(bands(rig).isEmpty());
    QVERIFY(recognition::RecognitionSettings().save(rig.file("recognition.conf")));
    rig.window->markSpokenSentence(0, 14);
    QVERIFY(!bands(rig).isEmpty());
    showRecognisedPage(rig);
    QVERIFY(bands(rig).isEmpty());
    // Reading the page's text again (Ctrl+R) clears it too.
    rig.window->markSpokenSentence(0, 14);
    QVERIFY(!bands(rig).isEmpty());
    QTest::keyClick(rig.window.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(bands(rig).isEmpty());

    // Boxes of a damaged blob, past the picture or past the numbers' range, mark nothing;
    // the words that stand on the picture still do.
    QList<recognition::WordBox> damaged = Words;
    damaged[0].box = QRect(0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    damaged[1].box = QRect(std::numeric_limits<int>::max() - 100, 100, 80, 40);
    damaged[2].box = QRect(900, 100, 200, 40);
    rig.state.WordBoxes = recognition::encodeWordBoxes({Recognised, damaged});
    rig.window->markSpokenSentence(0, 14);
    QVERIFY(bands(rig).isEmpty());
    rig.window->markSpokenSentence(15, 10);
    QCOMPARE(bands(rig), QList<QRect>{shown(rig, SecondLine)});
}

void SpokenSentenceTest::aClickOnAWordReadsFromThere() {
    BookWindowRig rig;
    rig.showWindows();
    showRecognisedPage(rig);
    auto* mark = const_cast<bookwindow::SpokenSentenceMark*>(rig.window->sentenceMark());
    const QRect four = shown(rig, Words[3].box);
    QTest::mouseClick(mark, Qt::LeftButton, {}, four.center());
    QCOMPARE(rig.readFrom, QList<int>{15});
    // Between words nothing happens; a right click still opens the reader's popup.
    QTest::mouseClick(mark, Qt::LeftButton, {}, shown(rig, QRect(185, 105, 10, 10)).center());
    QCOMPARE(rig.readFrom, QList<int>{15});
    QTest::mouseClick(mark, Qt::RightButton, {}, four.center());
    QCOMPARE(rig.popups.size(), 1);
    // After an edit the click finds the word where it now stands in the text.
    rig.readerText = QStringLiteral("Zero. One two three. Four five.");
    QTest::mouseClick(mark, Qt::LeftButton, {}, four.center());
    QCOMPARE(rig.readFrom, (QList<int>{15, 21}));
}

void SpokenSentenceTest::aSentenceOutOfViewIsScrolledIntoIt() {
    BookWindowRig rig;
    rig.showWindows();
    showRecognisedPage(rig);
    auto* down = rig.window->findChild<QScrollBar*>("VScroll1");
    auto* picture = rig.window->findChild<QLabel*>("Image1");
    for (int i = 0; i < 12 && picture->height() < 4 * down->height(); ++i)
        rig.window->zoomIn();
    QVERIFY(down->isVisible());
    const auto inView = [&](const QRect& band) {
        const QRect onScreen = shown(rig, band).translated(picture->pos());
        return onScreen.top() >= 0 && onScreen.bottom() <= down->height();
    };
    down->setValue(down->maximum());
    QVERIFY(!inView(FirstLine));
    rig.window->markSpokenSentence(0, 14);
    QVERIFY(inView(FirstLine));
    // A sentence already in view does not move the page.
    const int value = down->value();
    rig.window->markSpokenSentence(0, 3);
    QCOMPARE(down->value(), value);
}

void SpokenSentenceTest::theSpokenWordIsUnderlinedInItsSentence() {
    BookWindowRig rig;
    rig.showWindows();
    showRecognisedPage(rig);
    const auto bars = [&] { return rig.window->sentenceMark()->shownWord(); };
    // Under the word's box, as wide as the box is shown.
    const auto under = [&](const QRect& box) {
        const QRect word = shown(rig, box);
        const QList<QRect> drawn = bars();
        return drawn.size() == 1 && drawn[0].left() == word.left() &&
               drawn[0].width() == word.width() && drawn[0].top() == word.bottom() + 1 &&
               drawn[0].height() >= 2;
    };

    rig.window->markSpokenWord(4, 3); // no sentence is marked: no word either
    QVERIFY(bars().isEmpty());
    rig.window->markSpokenSentence(0, 14);
    rig.window->markSpokenWord(4, 3);
    QVERIFY(under(Words[1].box));
    rig.window->markSpokenWord(8, 5); // "three" without its period
    QVERIFY(under(Words[2].box));
    rig.window->zoomIn();
    QVERIFY(under(Words[2].box));
    rig.window->markSpokenWord(0, 0);
    QVERIFY(bars().isEmpty());

    // A new sentence starts without a word; the choice not to mark words is kept.
    rig.window->markSpokenWord(0, 3);
    rig.window->markSpokenSentence(15, 10);
    QVERIFY(bars().isEmpty());
    rig.settings.SpokenWordMark = 1;
    rig.window->markSpokenWord(15, 4);
    QVERIFY(bars().isEmpty());
    rig.settings.SpokenWordMark = 0;
    rig.window->markSpokenWord(15, 4);
    QVERIFY(under(Words[3].box));
    rig.window->clearSpokenSentence();
    QVERIFY(bars().isEmpty());
}

QTEST_MAIN(SpokenSentenceTest)
#include "tst_spokensentence.moc"
