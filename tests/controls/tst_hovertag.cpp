#include "hvtag/GeneralPage.h"
#include "hvtag/Hovertag.h"
#include "hvtag/MemoryPropertyBag.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace folimar::controls;

namespace {

QLabel* labelOf(Hovertag& tag) {
    return tag.findChild<QLabel*>(QStringLiteral("Label1"));
}

QColor textColour(Hovertag& tag) {
    return labelOf(tag)->palette().color(QPalette::Active, QPalette::WindowText);
}

// Moves the mouse through the window system, so that enter and leave events follow.
void moveMouse(QWidget* widget, QPoint pos) {
    QWidget* window = widget->window();
    QTest::mouseMove(window->windowHandle(), widget->mapTo(window, pos));
}

// A shown form holding one control, so that real mouse moves reach it.
struct Form {
    QWidget window;
    Hovertag* tag = new Hovertag(&window);

    Form() {
        window.resize(300, 200);
        tag->setLogicalDpi(144); // ten twips per pixel
        tag->setGeometry(20, 20, 200, 60);
        window.show();
    }
};

} // namespace

class TestHovertag : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newControlTakesItsDefaults() {
        Hovertag tag;
        const QColor background = tag.palette().color(QPalette::Window);
        QCOMPARE(background, QGuiApplication::palette().color(QPalette::Button));
        tag.setUrl(QStringLiteral("x"));
        tag.setUnderlineOnMouseOver(true);
        tag.setColorNormal(QColor(Qt::green));

        tag.InitProperties();

        QCOMPARE(tag.caption(), QStringLiteral("Tessaro!"));
        QCOMPARE(tag.url(), QString::fromLatin1(Hovertag::MakerUrl));
        QVERIFY(!tag.underlineOnMouseOver());
        QCOMPARE(tag.colorNormalValue(), OleColor(0xFF0000));
        QCOMPARE(tag.colorNormal(), QColor(0, 0, 255));
        QCOMPARE(tag.colorOnMouseOver(), QColor(255, 0, 0));
        QCOMPARE(textColour(tag), QColor(0, 0, 255));
        QCOMPARE(tag.backColorValue(), OleColor(0xABABAB));
        QCOMPARE(tag.palette().color(QPalette::Window), background);
    }

    void propertiesRoundTripInOrderWithDefaultsAbsent() {
        QWidget container;
        auto* plain = new Hovertag(&container);
        plain->setCaption(QStringLiteral("Weblink"));
        MemoryPropertyBag empty;
        plain->WriteProperties(empty);
        QCOMPARE(empty.names(), QStringList());

        auto* tag = new Hovertag(&container);
        QFont font = container.font();
        font.setBold(true);
        tag->setCaption(QStringLiteral("Docs"));
        tag->setEnabled(false);
        tag->setFont(font);
        tag->setColorNormal(QColor(0, 128, 0));
        tag->setUnderlineOnMouseOver(true);
        tag->setBackColor(OleColor::system(5));
        tag->setUrl(QStringLiteral("https://docs.example.org/"));
        tag->setColorOnMouseOver(QColor(255, 128, 0));
        MemoryPropertyBag bag;
        tag->WriteProperties(bag);
        QCOMPARE(bag.names(),
                 (QStringList{"Caption", "Enabled", "Font", "ColorNormal", "UnderlineOnMouseOver",
                              "BackColor", "Url", "ColorOnMouseOver", "ColorNormal"}));
        QCOMPARE(bag.entries()[3].value, bag.entries()[8].value);

        auto* loaded = new Hovertag(&container);
        loaded->ReadProperties(bag);
        QCOMPARE(loaded->caption(), QStringLiteral("Docs"));
        QVERIFY(!loaded->isEnabled());
        QVERIFY(loaded->font().bold());
        QCOMPARE(loaded->colorNormal(), QColor(0, 128, 0));
        QCOMPARE(textColour(*loaded), QColor(0, 128, 0));
        QVERIFY(loaded->underlineOnMouseOver());
        QCOMPARE(loaded->backColorValue(), OleColor::system(5));
        QCOMPARE(loaded->url(), QStringLiteral("https://docs.example.org/"));
        QCOMPARE(loaded->colorOnMouseOver(), QColor(255, 128, 0));

        // An empty store gives the stored defaults.
        loaded->ReadProperties(empty);
        QCOMPARE(loaded->caption(), QStringLiteral("Weblink"));
        QVERIFY(loaded->isEnabled());
        QVERIFY(!loaded->font().bold());
        QCOMPARE(loaded->backColorValue(), Hovertag::DefaultBackColor);
        QCOMPARE(loaded->colorNormalValue(), Hovertag::DefaultColorNormal);
    }

    void savingWhileHoveredKeepsTheNormalColour() {
        Form form;
        QVERIFY(QTest::qWaitForWindowExposed(&form.window));
        moveMouse(&form.window, QPoint(290, 190));
        moveMouse(labelOf(*form.tag), QPoint(10, 10));
        QCOMPARE(textColour(*form.tag), QColor(255, 0, 0));
        MemoryPropertyBag bag;
        form.tag->WriteProperties(bag);
        // Both "ColorNormal" entries are the default blue, so neither is written.
        QVERIFY(!bag.contains(QStringLiteral("colornormal")));
    }

    void hoverColoursTheText_data() {
        QTest::addColumn<bool>("underline");
        QTest::newRow("with underline") << true;
        QTest::newRow("colour only") << false;
    }
    void hoverColoursTheText() {
        QFETCH(bool, underline);
        Form form;
        QVERIFY(QTest::qWaitForWindowExposed(&form.window));
        form.tag->setUnderlineOnMouseOver(underline);
        form.tag->setColorNormal(QColor(0, 0, 200));
        form.tag->setColorOnMouseOver(QColor(200, 0, 0));
        QLabel* label = labelOf(*form.tag);
        moveMouse(&form.window, QPoint(290, 190)); // start away from the control

        moveMouse(label, QPoint(10, 10));
        QCOMPARE(textColour(*form.tag), QColor(200, 0, 0));
        QCOMPARE(label->font().underline(), underline);
        QCOMPARE(label->font().family(), form.tag->font().family());

        // The margin around the text brings the normal look back...
        moveMouse(form.tag, QPoint(1, 1));
        QCOMPARE(textColour(*form.tag), QColor(0, 0, 200));
        QVERIFY(!label->font().underline());

        // ...and so does leaving the control straight from the text.
        moveMouse(label, QPoint(10, 10));
        QCOMPARE(textColour(*form.tag), QColor(200, 0, 0));
        moveMouse(&form.window, QPoint(280, 180));
        QTRY_COMPARE(textColour(*form.tag), QColor(0, 0, 200));
        QVERIFY(!label->font().underline());
    }

    void clickOnTextOpensTheUrl() {
        Form form;
        QList<QUrl> opened;
        form.tag->setUrlOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        form.tag->setUrl(QStringLiteral("www.example.org/a b; rm -rf ~"));
        QTest::mouseClick(labelOf(*form.tag), Qt::RightButton);
        QVERIFY(opened.isEmpty());
        QTest::mouseClick(labelOf(*form.tag), Qt::LeftButton);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().scheme(), QStringLiteral("http"));
        QCOMPARE(opened.first().host(), QStringLiteral("www.example.org"));

        form.tag->setUrl(QString());
        QTest::mouseClick(labelOf(*form.tag), Qt::LeftButton);
        QCOMPARE(opened.size(), 1);
    }

    void aboutWindowLinksToTheMaker() {
        Hovertag tag;
        QList<QUrl> opened;
        tag.setUrlOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        QStringList texts;
        bool underlinedWhileOver = false;
        bool plainAfterLeaving = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* about = QApplication::activeModalWidget();
            QCOMPARE(about->windowTitle(), QStringLiteral("About .."));
            for (const QLabel* label : about->findChildren<QLabel*>())
                texts << label->text();
            auto* address = about->findChild<QLabel*>(QStringLiteral("lblAddress"));
            QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
            QCoreApplication::sendEvent(address, &enter);
            underlinedWhileOver = address->font().underline();
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(address, &leave);
            plainAfterLeaving = !address->font().underline();
            QTest::mouseClick(address, Qt::LeftButton);
            auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
            QCOMPARE(ok->text(), QStringLiteral("&OK"));
            ok->click();
        });
        tag.showAbout();

        for (const char* text : {"Tessaro", "Control", "2.2", Hovertag::MakerUrl})
            QVERIFY2(texts.contains(QLatin1String(text)), text);
        QVERIFY(underlinedWhileOver);
        QVERIFY(plainAfterLeaving);
        QCOMPARE(opened, QList<QUrl>{QUrl(QString::fromLatin1(Hovertag::MakerUrl))});
    }

    void sizeRule_data() {
        QTest::addColumn<QSize>("given");
        QTest::addColumn<QSize>("expected");
        // At 144 DPI a pixel is ten twips: 1000 x 500 twips is 100 x 50 pixels.
        QTest::newRow("narrow and low") << QSize(80, 30) << QSize(100, 50);
        QTest::newRow("wide enough keeps its height") << QSize(120, 30) << QSize(120, 30);
        QTest::newRow("narrow but tall") << QSize(80, 70) << QSize(100, 70);
    }
    void sizeRule() {
        QFETCH(QSize, given);
        QFETCH(QSize, expected);
        Form form;
        form.tag->resize(given);
        QCOMPARE(form.tag->size(), expected);
        // The text keeps a margin of 50 twips at the sides and 20 above and below.
        QCOMPARE(labelOf(*form.tag)->geometry(),
                 QRect(5, 2, expected.width() - 10, expected.height() - 4));
    }

    void generalPageEditsTheFirstSelectedControl() {
        Hovertag first;
        Hovertag second;
        first.setUrl(QStringLiteral("https://one.example.org/"));
        first.setCaption(QStringLiteral("One"));
        first.setUnderlineOnMouseOver(true);
        second.setCaption(QStringLiteral("Two"));

        GeneralPage page;
        page.setSelectedControls({&first, &second});
        auto* url = page.findChild<QLineEdit*>(QStringLiteral("txtUrl"));
        auto* caption = page.findChild<QLineEdit*>(QStringLiteral("txtCaption"));
        auto* underline = page.findChild<QCheckBox*>(QStringLiteral("chkUnderlineOnMouseOver"));
        QCOMPARE(url->text(), QStringLiteral("https://one.example.org/"));
        QCOMPARE(caption->text(), QStringLiteral("One"));
        QVERIFY(underline->isChecked());
        QVERIFY(!page.isChanged());

        caption->selectAll();
        QTest::keyClicks(caption, QStringLiteral("First"));
        QVERIFY(page.isChanged());
        underline->click();
        page.applyChanges();

        QCOMPARE(first.caption(), QStringLiteral("First"));
        QVERIFY(!first.underlineOnMouseOver());
        QCOMPARE(first.url(), QStringLiteral("https://one.example.org/"));
        QCOMPARE(second.caption(), QStringLiteral("Two"));
        QVERIFY(!page.isChanged());
    }

    void coloursConvertFromTheStoredForm_data() {
        QTest::addColumn<quint32>("stored");
        QTest::addColumn<QColor>("expected");
        QPalette palette;
        palette.setColor(QPalette::Button, QColor(1, 1, 1));
        palette.setColor(QPalette::Base, QColor(2, 2, 2));
        palette.setColor(QPalette::Text, QColor(3, 3, 3));
        palette.setColor(QPalette::ButtonText, QColor(4, 4, 4));
        palette.setColor(QPalette::Highlight, QColor(5, 5, 5));
        palette.setColor(QPalette::HighlightedText, QColor(6, 6, 6));
        palette.setColor(QPalette::Mid, QColor(7, 7, 7));
        QApplication::setPalette(palette);
        QTest::newRow("red") << 0x0000FFu << QColor(255, 0, 0);
        QTest::newRow("blue") << 0xFF0000u << QColor(0, 0, 255);
        QTest::newRow("mixed") << 0x00C08040u << QColor(0x40, 0x80, 0xC0);
        QTest::newRow("button face") << 0x8000000Fu << QColor(1, 1, 1);
        QTest::newRow("window") << 0x80000005u << QColor(2, 2, 2);
        QTest::newRow("window text") << 0x80000008u << QColor(3, 3, 3);
        QTest::newRow("button text") << 0x80000012u << QColor(4, 4, 4);
        QTest::newRow("highlight") << 0x8000000Du << QColor(5, 5, 5);
        QTest::newRow("highlight text") << 0x8000000Eu << QColor(6, 6, 6);
        QTest::newRow("button shadow") << 0x80000010u << QColor(7, 7, 7);
        QTest::newRow("unknown index") << 0x800000FFu << QColor(0, 0, 0);
    }
    void coloursConvertFromTheStoredForm() {
        QFETCH(quint32, stored);
        QFETCH(QColor, expected);
        const OleColor colour(stored);
        QCOMPARE(colour.toColor(QGuiApplication::palette()), expected);
        if (!colour.isSystem())
            QCOMPARE(OleColor::fromColor(expected), colour);

        const OleColor fallback(0x123456);
        QCOMPARE(OleColor::fromVariant(QVariant::fromValue(stored), fallback), colour);
        QCOMPARE(OleColor::fromVariant(QVariant(qlonglong(stored)), fallback), colour);
        QCOMPARE(OleColor::fromVariant(QStringLiteral("not a colour"), fallback), fallback);
        QCOMPARE(OleColor::fromVariant(QVariant(-1), fallback), fallback);
        QCOMPARE(OleColor::fromVariant(QColor(0x40, 0x80, 0xC0), fallback), OleColor(0xC08040));

        // A control given a system colour shows the palette's colour for it.
        Hovertag tag;
        tag.setColorNormal(colour);
        QCOMPARE(textColour(tag), expected);
    }

    void cleanupTestCase() { QApplication::setPalette(QPalette()); }
};

QTEST_MAIN(TestHovertag)
#include "tst_hovertag.moc"
