#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QSignalSpy>
#include <QTest>

using namespace folimar;
using folimar::testing::ScriptedCharacter;

namespace {

struct HostRig {
    HostRig() { service.characterSize = QSize(120, 90); }
    ScriptedCharacter& character() { return *service.last(); }
    static void settle() {
        for (int i = 0; i < 30; ++i)
            QCoreApplication::processEvents();
    }

    reader::ReaderState state;
    settings::Settings settings;
    testing::ScriptedCharacterService service;
    testing::ScriptedDialogs dialogs;
    reader::CharacterHost host{state, settings, service, dialogs};
};

} // namespace

class TestCharacterHost : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadAndReloadPrepareTheCharacter();
    void appliesCharacterSize_data();
    void appliesCharacterSize();
    void placesCharacter_data();
    void placesCharacter();
    void handlesNotifications();
    void tellsWhenNoVoiceSpeaks();
};

void TestCharacterHost::loadAndReloadPrepareTheCharacter() {
    HostRig rig;
    QVERIFY(rig.host.ensureLoaded());
    QVERIFY(rig.host.ensureLoaded());
    QCOMPARE(rig.service.loads, QStringList{"Genie.acs"});
    ScriptedCharacter& c = rig.character();
    QCOMPARE(c.languageId, 1033);
    QCOMPARE(c.gets, (QList<QPair<QString, QString>>{{"Animation", "Speaking"}}));
    QCOMPARE(rig.state.SpeechRequest, character::RequestId(1));
    QCOMPARE(c.balloonWrites, (QList<int>{1, 1 | 4, 1 | 4 | 8, 1 | 4 | 8 | 2}));
    QCOMPARE(c.commands, QStringList{"AdvCharOptions|&Advanced Character Options"});
    QCOMPARE(rig.host.CharacterWidth, 120);
    QCOMPARE(rig.host.CharacterHeight, 90);
    QCOMPARE(c.calls, (QStringList{"language", "get", "balloon", "balloon", "balloon", "balloon",
                                   "removeCommands", "addCommand", "size"}));

    // A reload queues the speaking animation after the commands.
    QSignalSpy replaced(&rig.host, &reader::CharacterHost::characterReplaced);
    rig.state.LoopActive = true;
    rig.host.ReloadCharacter("/home/ann/chars/Merlin.acs");
    QCOMPARE(rig.service.loads.last(), "/home/ann/chars/Merlin.acs");
    QCOMPARE(rig.character().calls,
             (QStringList{"language", "balloon", "balloon", "balloon", "balloon", "removeCommands",
                          "addCommand", "get", "size"}));
    QCOMPARE(rig.host.characterName(), "Merlin");
    QCOMPARE(rig.settings.CharacterPath, "/home/ann/chars/Merlin");
    QVERIFY(!rig.state.LoopActive);
    QCOMPARE(replaced.size(), 1);

    // The saved path loads the same file again, without a second extension.
    HostRig next;
    next.settings.CharacterPath = rig.settings.CharacterPath;
    QVERIFY(next.host.ensureLoaded());
    QCOMPARE(next.service.loads, QStringList{"/home/ann/chars/Merlin.acs"});

    HostRig missing;
    missing.service.unavailable = true;
    QVERIFY(!missing.host.ensureLoaded());
    QVERIFY(!missing.host.characterVisible());
}

void TestCharacterHost::appliesCharacterSize_data() {
    QTest::addColumn<int>("factor");
    QTest::addColumn<QSize>("size");
    QTest::newRow("own size") << 0 << QSize(120, 90);
    QTest::newRow("half") << -2 << QSize(60, 45);
    QTest::newRow("a fifth, rounded down") << -5 << QSize(24, 18);
    QTest::newRow("three times") << 3 << QSize(360, 270);
    QTest::newRow("five times") << 5 << QSize(600, 450);
}

void TestCharacterHost::appliesCharacterSize() {
    QFETCH(int, factor);
    QFETCH(QSize, size);
    HostRig rig;
    rig.settings.CharacterSize = 3;
    QVERIFY(rig.host.ensureLoaded());
    // Each change starts again from the character's own size.
    rig.settings.CharacterSize = qint16(factor);
    rig.host.ApplyCharacterSize();
    QCOMPARE(rig.character().size(), size);
}

void TestCharacterHost::placesCharacter_data() {
    QTest::addColumn<int>("startPos");
    QTest::addColumn<qreal>("dpi");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("position");
    // Saved: where the user left it. Auto: centred on the book window, 1000 twips above
    // its bottom edge, but kept whole on the screen (the character is 120 x 90).
    QTest::newRow("saved") << 1 << 96.0 << QRect() << QPoint(40, 60);
    QTest::newRow("auto at 96 dpi") << 0 << 96.0 << QRect() << QPoint(300, 283);
    QTest::newRow("auto at 144 dpi") << 0 << 144.0 << QRect() << QPoint(300, 250);
    QTest::newRow("auto kept on screen")
        << 0 << 96.0 << QRect(0, 0, 400, 360) << QPoint(280, 270);
}

void TestCharacterHost::placesCharacter() {
    QFETCH(int, startPos);
    QFETCH(qreal, dpi);
    QFETCH(QRect, screen);
    QFETCH(QPoint, position);
    HostRig rig;
    rig.settings.AgentStartPos = qint16(startPos);
    rig.settings.AgentLeft = 40;
    rig.settings.AgentTop = 60;
    rig.host.setAnchorWindow(
        [dpi, screen] { return reader::AnchorFrame{QRect(100, 50, 400, 300), dpi, screen}; });
    QVERIFY(rig.host.ensureLoaded());
    QCOMPARE(rig.character().position(), position);
    QCOMPARE(QPoint(rig.settings.AgentLeft, rig.settings.AgentTop), position);
}

void TestCharacterHost::handlesNotifications() {
    HostRig rig;
    testing::ManualClock clock;
    reader::SentenceReader reader(rig.state, rig.settings, rig.host, rig.dialogs, clock);
    QVERIFY(rig.host.ensureLoaded());
    ScriptedCharacter& c = rig.character();

    // Left click toggles pause; other buttons do nothing.
    c.click(2);
    QVERIFY(!rig.state.Paused);
    c.click(1);
    QVERIFY(rig.state.Paused);
    c.click(1);
    QVERIFY(!rig.state.Paused);

    // Only the awaited request sets RequestDone.
    rig.state.SpeechRequest = c.speak("words");
    QVERIFY(c.completeNext()); // the start-up request, not the one awaited
    QVERIFY(!rig.state.RequestDone);
    QVERIFY(c.completeNext());
    QVERIFY(rig.state.RequestDone);

    c.choose("Other");
    QCOMPARE(c.propertySheets, 0);
    c.choose("AdvCharOptions");
    QCOMPARE(c.propertySheets, 1);

    // A drag by the user is remembered; a move made by the program is not.
    c.dragTo(QPoint(70, 80));
    QCOMPARE(QPoint(rig.settings.AgentLeft, rig.settings.AgentTop), QPoint(70, 80));
    c.setPosition(QPoint(5, 5));
    QCOMPARE(QPoint(rig.settings.AgentLeft, rig.settings.AgentTop), QPoint(70, 80));
}

// The user learns, in words and once the load is over, that reading goes on without sound.
void TestCharacterHost::tellsWhenNoVoiceSpeaks() {
    HostRig rig;
    rig.service.silentBecause =
        QStringLiteral("the sound server did not answer: Connection refused");
    QVERIFY(rig.host.ensureLoaded());
    QVERIFY(rig.dialogs.messages.isEmpty()); // not from inside the load
    QTRY_COMPARE(rig.dialogs.messages.size(), 1);
    const platform::MessageRequest told = rig.dialogs.messages.first();
    QCOMPARE(told.text, QStringLiteral("No voice could be started: reading silently.\n\n"
                                       "The sound server did not answer: Connection refused."));
    QCOMPARE(told.title, QStringLiteral("Folimar"));
    QCOMPARE(told.icon, platform::MessageIcon::Exclamation);
    QCOMPARE(told.buttons, platform::MessageButtons::Ok);

    HostRig speaking;
    QVERIFY(speaking.host.ensureLoaded());
    HostRig::settle();
    QVERIFY(speaking.dialogs.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestCharacterHost)
#include "tst_characterhost.moc"
