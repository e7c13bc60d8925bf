// Vocimar: start-up in the tray (or in a window when the desktop has none), Paste and Play,
// handing the reader window back to the tray, the ways it ends, its keys and windows.
#include "VocimarRig.h"
#include "infowindows/AboutWindow.h"
#include "infowindows/CharacterMissingNotice.h"
#include "reader/SafePaste.h"
#include "reader/SentenceReader.h"
#include "settings/VocimarSettingsFile.h"
#include "support/HostilePaste.h"
#include "tray/TrayIcon.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <csignal>

using namespace folimar;
using namespace folimar::testing;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QAction* readerCommand(VocimarRig& rig, const char* name) {
    return rig.window().findChild<QAction*>(QLatin1String(name));
}

settings::Settings savedChoices() {
    settings::Settings s;
    s.CharacterPath = QStringLiteral("Genie");
    s.CharacterSize = 2;
    s.RepeatMode = 1;
    s.AgentLeft = 300;
    s.AgentTop = 200;
    s.LastFindText = QStringLiteral("needle");
    s.CapsAsSmall = 1;
    return s;
}

} // namespace

class VocimarTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsInTheTrayOrSaysThereIsNone_data();
    void startsInTheTrayOrSaysThereIsNone();
    void pasteAndPlayReadsPlainTextWithItsFullStop();
    void pasteAndPlayKeepsRichTextFormatted();
    void pasteAndPlayLoadsNothingTheHtmlNames();
    void pasteAndPlayWhileReadingStartsTheNewTextAtItsTop();
    void closingWhileReadingStopsAndALeftClickReadsOn();
    void endsWritingItsSettingsBesideFolimar_data();
    void endsWritingItsSettingsBesideFolimar();
    void characterStandsBesideTheWindowUntilItHasAPlace();
    void keysAndMenusReachTheFindAndAboutWindows();
    void missingCharacterShowsTheNoticeButStillFillsTheWindow();
    void toldUnderItsOwnNameWhenReadingIsSilent();
};

void VocimarTest::startsInTheTrayOrSaysThereIsNone_data() {
    QTest::addColumn<bool>("trayAvailable");
    QTest::newRow("tray") << true;
    QTest::newRow("no tray") << false;
}

void VocimarTest::startsInTheTrayOrSaysThereIsNone() {
    QFETCH(bool, trayAvailable);
    VocimarRig rig(trayAvailable);
    rig.program->StartProgram();
    QVERIFY(rig.service.last()); // the character is loaded at start-up, hidden
    QVERIFY(!rig.character().isVisible());

    if (trayAvailable) {
        tray::TrayIcon* icon = rig.program->trayIcon();
        QVERIFY(icon);
        QCOMPARE(icon->cSysTray1().toolTip(), QStringLiteral("Vocimar"));
        QVERIFY(!icon->cSysTray1().icon().isNull());
        QCOMPARE(icon->cSysTray1().contextMenu(), rig.tray().mnuTaskIcon);
        QVERIFY(rig.dialogs.messages.isEmpty());
        QVERIFY(!rig.window().isVisible());

        QStringList items;
        for (const QAction* item : rig.tray().mnuTaskIcon->actions())
            items.append(item->isSeparator()
                             ? QStringLiteral("-")
                             : item->objectName() + QLatin1Char('=') + item->text());
        QCOMPARE(items,
                 (QStringList{"mnuReturn=Return", "-", "mnuQuitAccess=Quit", "mnuAbout=About",
                              "mnuShow=&Show", "mnuPaste_Play=&Paste and Play"}));
        QVERIFY(!rig.tray().mnuShow->isVisible());
        rig.tray().mnuReturn->trigger();
        rig.tray().mnuShow->trigger();
        QVERIFY(rig.window().isVisible());
        QVERIFY(rig.tray().trayState().ShownFromTray);
        rig.window().close(); // back to the tray
        rig.settle();
        QVERIFY(!rig.window().isVisible());
        QCOMPARE(rig.finished->count(), 0);
    } else {
        QVERIFY(!rig.program->trayIcon());
        QVERIFY(rig.window().isVisible());
        QTRY_COMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages.at(0).title, QStringLiteral("Vocimar"));
        QVERIFY(rig.dialogs.messages.at(0).text.contains(QLatin1String("no system tray")));
        rig.window().close(); // nothing to return to: the program ends
        QTRY_COMPARE(rig.finished->count(), 1);
    }
    QVERIFY(QFile::exists(rig.settingsFile()));
}

void VocimarTest::pasteAndPlayReadsPlainTextWithItsFullStop() {
    VocimarRig rig;
    rig.program->StartProgram();
    QGuiApplication::clipboard()->setText(QStringLiteral("Hello world"));
    rig.program->settings().ReadPos = 5; // a paste always reads from the top
    rig.tray().mnuPaste_Play->trigger();

    QCOMPARE(rig.text().toPlainText(), QStringLiteral("Hello world."));
    QVERIFY(rig.window().isVisible());
    QVERIFY(rig.tray().trayState().ShownFromTray);
    QVERIFY(rig.tray().trayState().ResumeOnShow);
    rig.complete(); // the character's start-up request
    QCOMPARE(rig.character().spoken.size(), 1);
    QVERIFY(rig.character().spoken.at(0).startsWith(QLatin1String("Hello world")));
    rig.complete();
    QVERIFY(!rig.program->reader().isReading());
    QCOMPARE(rig.character().spoken.size(), 1);
}

// Paste and Play of a crafted page's HTML opens none of the files it names, shows only the
// picture carried in the HTML, and refuses a text too long to lay out with a word.
void VocimarTest::pasteAndPlayLoadsNothingTheHtmlNames() {
    VocimarRig rig;
    rig.program->StartProgram();
    const qsizetype shown = rig.dialogs.messages.size(); // "no tray" on a desktop without one
    HostilePaste paste;
    QGuiApplication::clipboard()->setMimeData(paste.mimeData());
    rig.tray().mnuPaste_Play->trigger();
    rig.text().resize(400, 300);
    rig.text().viewport()->grab();
    QVERIFY(!paste.pipe->opened());
    QCOMPARE(HostilePaste::pictureSizes(*rig.text().document()), QList<QSize>{QSize(3, 2)});
    QVERIFY(rig.text().toPlainText().startsWith(QStringLiteral("One bold word.")));
    QCOMPARE(rig.dialogs.messages.size(), shown);

    const QString sentence = QStringLiteral("Word word word. ");
    QGuiApplication::clipboard()->setText(
        sentence.repeated(reader::MaxPasteCharacters / sentence.size() + 1));
    rig.tray().mnuPaste_Play->trigger();
    QCOMPARE(rig.dialogs.messages.size(), shown + 1);
    QCOMPARE(rig.dialogs.messages.last().text, reader::pasteTooLongMessage());
}

void VocimarTest::pasteAndPlayKeepsRichTextFormatted() {
    VocimarRig rig;
    rig.program->StartProgram();
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<p><b>Bold</b> and plain</p>"));
    data->setText(QStringLiteral("PLAIN TEXT"));
    QGuiApplication::clipboard()->setMimeData(data);
    rig.tray().mnuPaste_Play->trigger();

    QCOMPARE(rig.text().toPlainText(), QStringLiteral("Bold and plain."));
    QTextCursor at(rig.text().document());
    at.setPosition(2);
    QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
    at.setPosition(8);
    QVERIFY(at.charFormat().fontWeight() != int(QFont::Bold));
}

void VocimarTest::pasteAndPlayWhileReadingStartsTheNewTextAtItsTop() {
    VocimarRig rig;
    rig.program->StartProgram();
    QGuiApplication::clipboard()->setText(QStringLiteral("One. Two. Three"));
    rig.tray().mnuPaste_Play->trigger();
    rig.complete();
    rig.complete();
    QCOMPARE(rig.character().spoken, (QStringList{"One.", " Two."}));

    QGuiApplication::clipboard()->setText(QStringLiteral("Alpha beta. Gamma"));
    rig.tray().mnuPaste_Play->trigger();
    QVERIFY(rig.character().stops > 0); // " Two." is cut off
    rig.complete();
    QCOMPARE(rig.character().spoken.mid(2), QStringList{"Alpha beta."});
    rig.complete();
    QCOMPARE(rig.character().spoken.size(), 4);
    QVERIFY(rig.character().spoken.at(3).startsWith(QLatin1String(" Gamma")));
}

void VocimarTest::closingWhileReadingStopsAndALeftClickReadsOn() {
    VocimarRig rig;
    rig.program->StartProgram();
    QGuiApplication::clipboard()->setText(QStringLiteral("First one. Second one. Third one"));
    rig.tray().mnuPaste_Play->trigger();
    rig.window().showMaximized();
    rig.window().showMinimized(); // minimised is never the state the tray restores
    rig.complete();
    rig.complete();
    QCOMPARE(rig.character().spoken.last(), QStringLiteral(" Second one."));

    const int stopsBefore = rig.character().stops;
    rig.window().close();
    QVERIFY(!rig.window().isVisible());
    QVERIFY(rig.character().stops > stopsBefore);
    QVERIFY(QFile::exists(rig.settingsFile()));
    rig.settle();
    QVERIFY(!rig.character().isVisible());
    QVERIFY(!rig.program->reader().isReading());
    QVERIFY(!rig.program->state().QuitRequested);
    QCOMPARE(rig.finished->count(), 0);
    QVERIFY(!rig.tray().trayState().ShownFromTray);
    QVERIFY(rig.tray().trayState().ResumeOnShow);

    const auto spokenBefore = rig.character().spoken.size();
    rig.tray().iconClicked();
    QVERIFY(rig.window().isVisible());
    QCOMPARE(rig.window().windowState() & (Qt::WindowMaximized | Qt::WindowMinimized),
             Qt::WindowStates(Qt::WindowMaximized));
    rig.settle();
    QCOMPARE(rig.character().spoken.size(), spokenBefore + 1); // the cut sentence again
    QCOMPARE(rig.character().spoken.last(), QStringLiteral(" Second one."));
    QVERIFY(rig.program->reader().isReading());

    // Stopped from the window, reading does not come back with the next click.
    readerCommand(rig, "mnuStop")->trigger();
    rig.complete();
    rig.window().close();
    const auto spoken = rig.character().spoken.size();
    rig.tray().iconClicked();
    rig.complete();
    QCOMPARE(rig.character().spoken.size(), spoken);
}

void VocimarTest::endsWritingItsSettingsBesideFolimar_data() {
    QTest::addColumn<QString>("appPathsFolder");
    QTest::addColumn<QString>("how");
    QTest::newRow("tray Quit, no App Paths entry") << QString() << QStringLiteral("tray");
    QTest::newRow("tray Quit, App Paths entry")
        << QStringLiteral("opt/folimar") << QStringLiteral("tray");
    QTest::newRow("window Quit") << QString() << QStringLiteral("window");
    QTest::newRow("SIGTERM") << QStringLiteral("opt/folimar") << QStringLiteral("signal");
}

void VocimarTest::endsWritingItsSettingsBesideFolimar() {
    QFETCH(QString, appPathsFolder);
    QFETCH(QString, how);
    VocimarRig rig(true, appPathsFolder);
    QDir().mkpath(rig.programFolder);
    QFile ini(rig.settingsFile());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(settings::VocimarSettingsLine(savedChoices()));
    ini.close();

    rig.program->StartProgram();
    settings::Settings& s = rig.program->settings();
    QCOMPARE(s.CharacterSize, qint16(2));
    QCOMPARE(s.RepeatMode, qint16(1));
    QCOMPARE(s.LastFindText, QStringLiteral("needle"));
    QCOMPARE(s.CapsAsSmall, qint16(1));
    QCOMPARE(rig.character().position(), QPoint(300, 200)); // its saved place
    QCOMPARE(rig.character().size(), QSize(256, 256));

    s.LastFindText = QStringLiteral("other");
    rig.character().show();
    if (how == QLatin1String("tray"))
        rig.tray().mnuQuitAccess->trigger();
    else if (how == QLatin1String("window"))
        readerCommand(rig, "mnuQuit")->trigger();
    else
        std::raise(SIGTERM);
    QTRY_COMPARE(rig.finished->count(), 1);

    QCOMPARE(readFile(rig.settingsFile()), settings::VocimarSettingsLine(s));
    QVERIFY(!rig.character().isVisible());
    QVERIFY(!rig.window().isVisible());
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void VocimarTest::characterStandsBesideTheWindowUntilItHasAPlace() {
    VocimarRig rig;
    rig.program->StartProgram();
    const QPoint place = rig.character().position();
    QVERIFY2(rig.window().frameGeometry().contains(place),
             qPrintable(QStringLiteral("%1,%2").arg(place.x()).arg(place.y())));
    QCOMPARE(rig.program->settings().AgentLeft, place.x());
    QCOMPARE(rig.program->settings().AgentTop, place.y());
}

void VocimarTest::keysAndMenusReachTheFindAndAboutWindows() {
    VocimarRig rig;
    rig.program->StartProgram();
    QStringList finds;
    rig.program->setFindActions({[&finds] { finds.append(QStringLiteral("inDoc")); },
                                 [&finds] { finds.append(QStringLiteral("onPage")); },
                                 [&finds] { finds.append(QStringLiteral("next")); }});
    rig.tray().mnuShow->trigger();
    rig.text().setPlainText(QStringLiteral("Some text. More text."));

    for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9})
        QTest::keyClick(&rig.text(), key);
    QTest::keyClick(&rig.text(), Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(&rig.text(), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(rig.text().toPlainText(), QStringLiteral("Some text. More text."));
    QVERIFY(finds.isEmpty());
    QVERIFY(!rig.program->reader().isReading());

    QTest::keyClick(&rig.text(), Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(&rig.text(), Qt::Key_G, Qt::ControlModifier);
    QTest::keyClick(&rig.text(), Qt::Key_F, Qt::ControlModifier);
    readerCommand(rig, "mnuFind")->trigger();
    QCOMPARE(finds, (QStringList{"next", "next", "onPage", "inDoc"}));

    readerCommand(rig, "mnuAbout")->trigger();
    infowindows::AboutWindow* about = rig.program->aboutWindow();
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("About Vocimar"));
    QVERIFY(about->txtOwner->text().isEmpty());
    about->close();
    rig.tray().mnuAbout->trigger();
    QCOMPARE(rig.program->aboutWindow(), about);
    QVERIFY(about->isVisible());
}

void VocimarTest::missingCharacterShowsTheNoticeButStillFillsTheWindow() {
    VocimarRig rig;
    rig.service.unavailable = true;
    rig.program->StartProgram();
    QGuiApplication::clipboard()->setText(QStringLiteral("Hello"));
    rig.tray().mnuPaste_Play->trigger();

    QCOMPARE(rig.text().toPlainText(), QStringLiteral("Hello."));
    QVERIFY(rig.window().isVisible());
    QVERIFY(rig.program->characterMissingNotice());
    QVERIFY(rig.program->characterMissingNotice()->isVisible());
    QVERIFY(!rig.program->reader().isReading());
}

void VocimarTest::toldUnderItsOwnNameWhenReadingIsSilent() {
    VocimarRig rig;
    rig.service.silentBecause = QStringLiteral("espeak-ng could not start");
    rig.program->StartProgram();
    QTRY_COMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Vocimar"));
    const QString notice = QStringLiteral("No voice could be started: reading silently.\n\n"
                                          "eSpeak NG could not start.");
    QCOMPARE(rig.dialogs.messages.first().text, notice);
    // A notice that holds nothing up: the pasted text is shown and read meanwhile.
    QCOMPARE(rig.dialogs.notices, QStringList{notice});
    QGuiApplication::clipboard()->setText(QStringLiteral("Quiet words"));
    rig.tray().mnuPaste_Play->trigger();
    QCOMPARE(rig.text().toPlainText(), QStringLiteral("Quiet words."));
    QVERIFY(rig.window().isVisible());
    QTRY_VERIFY(rig.program->reader().isReading());
}

QTEST_MAIN(VocimarTest)
#include "tst_vocimar.moc"
