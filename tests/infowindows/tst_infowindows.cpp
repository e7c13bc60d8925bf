// The About window and the notice shown when no character can be loaded: what they say,
// and that their links open with the opener they are given.
#include "controls/urllink/URLLink.h"
#include "infowindows/AboutWindow.h"
#include "infowindows/CharacterMissingNotice.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar;

namespace {

// Records the addresses a window asked to open instead of starting a browser.
struct OpenedUrls {
    controls::UrlOpener opener() {
        return [this](const QUrl& url) {
            urls.append(url.toString());
            return true;
        };
    }
    QStringList urls;
};

void press(QWidget* widget, Qt::MouseButton button) {
    QTest::mousePress(widget, button, {}, QPoint(2, 2));
}

QLabel* linkLabel(controls::URLLink* link) {
    return link->findChild<QLabel*>(QStringLiteral("lblURL"));
}

} // namespace

class InfoWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aboutNamesTheProgramAndTheBooksOwner_data();
    void aboutNamesTheProgramAndTheBooksOwner();
    void aboutLinksOpenWithTheDefaultHandler();
    void noticeTellsWhereCharactersAndVoicesComeFrom();
};

void InfoWindowsTest::aboutNamesTheProgramAndTheBooksOwner_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("owner");
    QTest::newRow("Folimar, owned book") << QStringLiteral("Folimar") << QStringLiteral("Ann Lee");
    QTest::newRow("Folimar, no owner") << QStringLiteral("Folimar") << QString();
    QTest::newRow("Vocimar") << QStringLiteral("Vocimar") << QString();
}

void InfoWindowsTest::aboutNamesTheProgramAndTheBooksOwner() {
    QFETCH(QString, program);
    QFETCH(QString, owner);
    infowindows::AboutWindow about(program);
    about.setDocumentOwner(owner);
    about.show();

    QCOMPARE(about.objectName(), QStringLiteral("About"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About ") + program);
    QVERIFY(!about.isModal());
    QCOMPARE(about.Label1->text(), program + QStringLiteral(" Ver 1.91"));
    QVERIFY(about.lblNotice->text().contains(QLatin1String("espeak-ng")));
    QCOMPARE(about.lblCreatedBy->text(), QStringLiteral("Document Created By:"));
    QCOMPARE(about.txtOwner->text(), owner);
    QVERIFY(about.txtOwner->isReadOnly());
    QCOMPARE(about.URLLink1->text(), program + QStringLiteral(" Home Page"));

    QTest::mouseClick(about.cmdExit, Qt::LeftButton);
    QVERIFY(!about.isVisible());
}

void InfoWindowsTest::aboutLinksOpenWithTheDefaultHandler() {
    infowindows::AboutWindow about(QStringLiteral("Folimar"));
    OpenedUrls opened;
    about.setUrlOpener(opened.opener());
    about.show();

    press(linkLabel(about.URLLink1), Qt::LeftButton);
    press(about.Label2, Qt::RightButton); // only the left button opens
    press(about.Label2, Qt::LeftButton);
    QCOMPARE(opened.urls, (QStringList{QStringLiteral("https://folimar.example.org/"),
                                       QStringLiteral("https://folimar.example.org/team/")}));
    QVERIFY(about.isVisible());
}

void InfoWindowsTest::noticeTellsWhereCharactersAndVoicesComeFrom() {
    QTemporaryDir data;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    infowindows::CharacterMissingNotice notice;
    qputenv("XDG_DATA_HOME", oldData);
    OpenedUrls opened;
    notice.setUrlOpener(opened.opener());
    notice.show();

    QCOMPARE(notice.objectName(), QStringLiteral("MSagent"));
    QVERIFY(!notice.isModal());
    QVERIFY(
        notice.Label1->text().startsWith(QLatin1String("No speaking character could be loaded")));
    const QString where = notice.Label2->text();
    QVERIFY(where.contains(QLatin1String("\".acs\"")));
    QVERIFY2(where.contains(data.path() + QLatin1String("/folimar/characters")), qPrintable(where));
    for (const char* package : {"libespeak-ng1", "espeak-ng-data", "pulseaudio"})
        QVERIFY2(where.contains(QLatin1String(package)), package);
    QCOMPARE(notice.Label3->text(), QStringLiteral("More characters can be found at:"));
    QCOMPARE(notice.Label4->text(), QStringLiteral("(Also check if a char is loaded in Options)"));

    press(linkLabel(notice.URLLink1), Qt::LeftButton);
    press(linkLabel(notice.URLLink2), Qt::LeftButton);
    QCOMPARE(opened.urls.size(), 2);
    QVERIFY(opened.urls.at(0) != opened.urls.at(1));

    QCOMPARE(notice.cmdOK->text(), QStringLiteral("OK"));
    QTest::mouseClick(notice.cmdOK, Qt::LeftButton);
    QVERIFY(!notice.isVisible());
}

QTEST_MAIN(InfoWindowsTest)
#include "tst_infowindows.moc"
