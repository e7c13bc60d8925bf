#include "controls/urllink/URLLink.h"
#include "hvtag/MemoryPropertyBag.h"
#include "support/ScriptedDialogs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QTest>

using namespace folimar::controls;

namespace {

// Records what the link asked to open, and the cursor shown while it did.
struct OpenRecorder {
    QList<QUrl> opened;
    QList<Qt::CursorShape> cursors;
    bool succeed = true;

    UrlOpener opener() {
        return [this](const QUrl& url) {
            opened << url;
            const QCursor* cursor = QGuiApplication::overrideCursor();
            cursors << (cursor ? cursor->shape() : Qt::ArrowCursor);
            return succeed;
        };
    }
};

QLabel* labelOf(URLLink& link) {
    return link.findChild<QLabel*>(QStringLiteral("lblURL"));
}

} // namespace

class TestURLLink : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void containerMayCancelOrRedirect_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("redirect");
        QTest::addColumn<QStringList>("expectedOpened");
        QTest::newRow("untouched") << false << QString() << QStringList{"https://a.example.org/"};
        QTest::newRow("cancelled") << true << QString() << QStringList{};
        QTest::newRow("redirected") << false << QStringLiteral("https://b.example.org/x")
                                    << QStringList{"https://b.example.org/x"};
    }
    void containerMayCancelOrRedirect() {
        QFETCH(bool, cancel);
        QFETCH(QString, redirect);
        QFETCH(QStringList, expectedOpened);
        URLLink link;
        OpenRecorder recorder;
        link.setUrlOpener(recorder.opener());
        link.setURL(QStringLiteral("https://a.example.org/"));
        QStringList offered;
        connect(&link, &URLLink::aboutToOpen, this, [&](bool* cancelOpening, QString* address) {
            offered << *address;
            *cancelOpening = cancel;
            if (!redirect.isEmpty())
                *address = redirect;
        });

        QTest::mouseClick(labelOf(link), Qt::LeftButton);

        QCOMPARE(offered, QStringList{"https://a.example.org/"});
        QStringList opened;
        for (const QUrl& url : recorder.opened)
            opened << url.toString();
        QCOMPARE(opened, expectedOpened);
        QCOMPARE(link.url(), QStringLiteral("https://a.example.org/"));
        for (Qt::CursorShape shape : recorder.cursors)
            QCOMPARE(shape, Qt::WaitCursor);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void otherButtonsDoNothing_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }
    void otherButtonsDoNothing() {
        QFETCH(Qt::MouseButton, button);
        URLLink link;
        OpenRecorder recorder;
        link.setUrlOpener(recorder.opener());
        int raised = 0;
        connect(&link, &URLLink::aboutToOpen, this, [&] { ++raised; });
        QTest::mouseClick(labelOf(link), button);
        QCOMPARE(raised, 0);
        QVERIFY(recorder.opened.isEmpty());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void failedOpeningIsReported_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("openerSucceeds");
        QTest::addColumn<QString>("message");
        QTest::newRow("no handler") << "https://a.example.org/" << false
                                    << "Unable to load 'https://a.example.org/' : No program could "
                                       "be started to open it (Error 2)";
        QTest::newRow("empty address")
            << "" << true << "Unable to load '' : The address is not valid (Error 1)";
        QTest::newRow("opened") << "https://a.example.org/" << true << QString();
    }
    void failedOpeningIsReported() {
        QFETCH(QString, address);
        QFETCH(bool, openerSucceeds);
        QFETCH(QString, message);
        URLLink link;
        OpenRecorder recorder;
        recorder.succeed = openerSucceeds;
        folimar::testing::ScriptedDialogs dialogs;
        link.setUrlOpener(recorder.opener());
        link.setDialogs(&dialogs);
        link.setURL(address);

        QTest::mouseClick(labelOf(link), Qt::LeftButton);

        QCOMPARE(dialogs.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(dialogs.messages.first().text, message);
            QCOMPARE(dialogs.messages.first().buttons, folimar::platform::MessageButtons::Ok);
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void toolTipShowsUrlOnlyWhenSwitchedOn() {
        URLLink link;
        link.setURL(QStringLiteral("https://a.example.org/"));
        QCOMPARE(labelOf(link)->toolTip(), QString());
        link.setShowToolTip(true);
        QCOMPARE(labelOf(link)->toolTip(), QStringLiteral("https://a.example.org/"));
        link.setURL(QStringLiteral("https://b.example.org/"));
        QCOMPARE(labelOf(link)->toolTip(), QStringLiteral("https://b.example.org/"));
        link.setShowToolTip(false);
        QCOMPARE(labelOf(link)->toolTip(), QString());
    }

    void captionSizesTheLabelNotTheControl() {
        URLLink link;
        link.resize(50, 20);
        QLabel* label = labelOf(link);
        QVERIFY(label->font().underline());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);

        const int before = label->width();
        link.setText(QStringLiteral("A much longer caption than the default one"));
        QCOMPARE(label->pos(), QPoint(0, 0));
        QVERIFY(label->width() > before);
        QCOMPARE(label->size(), label->fontMetrics().size(Qt::TextSingleLine, link.text()));
        QCOMPARE(link.size(), QSize(50, 20));

        QFont bigger = link.font();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        link.setFont(bigger);
        QCOMPARE(label->size(), QFontMetrics(label->font()).size(Qt::TextSingleLine, link.text()));
    }

    void propertiesRoundTripWithDefaultsAbsent() {
        URLLink original;
        original.InitProperties();
        MemoryPropertyBag defaults;
        original.WriteProperties(defaults);
        QVERIFY(defaults.entries().isEmpty());

        original.setText(QStringLiteral("Our page"));
        original.setURL(QStringLiteral("https://c.example.org/"));
        original.setShowToolTip(true);
        MemoryPropertyBag bag;
        original.WriteProperties(bag);
        QCOMPARE(bag.names(), (QStringList{"Text", "URL", "ShowToolTip"}));

        URLLink loaded;
        loaded.ReadProperties(bag);
        QCOMPARE(loaded.text(), QStringLiteral("Our page"));
        QCOMPARE(loaded.url(), QStringLiteral("https://c.example.org/"));
        QVERIFY(loaded.showToolTip());

        // Names are matched without regard to case; what is missing reads as its default.
        MemoryPropertyBag other;
        other.writeProperty(QStringLiteral("url"), QStringLiteral("https://d.example.org/"),
                            QString());
        loaded.ReadProperties(other);
        QCOMPARE(loaded.url(), QStringLiteral("https://d.example.org/"));
        QCOMPARE(loaded.text(), QString::fromLatin1(URLLink::DefaultText));
        QVERIFY(!loaded.showToolTip());
    }
};

QTEST_MAIN(TestURLLink)
#include "tst_urllink.moc"
