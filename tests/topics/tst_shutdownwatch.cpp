#include "TopicsRig.h"

#include "settings/SettingsFile.h"
#include "topics/ShutdownWatch.h"

#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

using namespace folimar;
using testing::TopicsRig;

namespace {

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

class ShutdownWatchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quitWritesSettingsAndClosesTheBookOnce_data();
    void quitWritesSettingsAndClosesTheBookOnce();
    void waitTicksCountDownAndADirectQuitIsSeen();
};

void ShutdownWatchTest::quitWritesSettingsAndClosesTheBookOnce_data() {
    QTest::addColumn<bool>("characterVisible");
    QTest::newRow("character hidden") << false;
    QTest::newRow("character visible") << true;
}

void ShutdownWatchTest::quitWritesSettingsAndClosesTheBookOnce() {
    QFETCH(bool, characterVisible);
    TopicsRig rig;
    rig.settings.TopicIndex = 1;
    rig.settings.ReadPos = 3;
    rig.openTopics({{1, "a", "One.", {}}, {2, "b", "Two.", {}}});
    QVERIFY(rig.store.storeTopic({5, QStringLiteral("new"), {}, {}, std::nullopt}));
    const QString book = rig.settings.BookPath;
    const ino_t before = inodeOf(book);
    topics::ShutdownWatch watch(rig.settings, rig.locations, rig.store, rig.state, rig.list,
                                rig.clock, [&] { return characterVisible; });
    QSignalSpy finished(&watch, &topics::ShutdownWatch::finished);
    connect(&watch, &topics::ShutdownWatch::aboutToSave, this,
            [&] { rig.settings.ReaderWidth = 333; });

    watch.requestQuit();
    watch.requestQuit();
    QVERIFY(rig.state.QuitRequested);
    QVERIFY(rig.store.hasBook()); // nothing happens inside the request itself
    TopicsRig::settle();
    QVERIFY(watch.shutDown());
    QVERIFY(!rig.store.hasBook());
    QVERIFY(inodeOf(book) != before); // replaced by its compacted copy

    settings::Settings saved;
    platform::ProgramLocations locations = rig.locations;
    settings::LoadSettings(saved, locations);
    QCOMPARE(saved.PrevBookPath, book);
    QCOMPARE(saved.PrevTopicIndex, qint16(1));
    QCOMPARE(saved.PrevReadPos, 3);
    QCOMPARE(saved.ReaderWidth, qint16(333));

    // The compacted book holds the change.
    settings::Settings check;
    check.BookPath = book;
    testing::ScriptedDialogs quiet;
    store::BookStore reopened{check, rig.storeLocations(), quiet};
    reopened.LoadBook();
    QCOMPARE(reopened.topicList().size(), 3);
    reopened.CloseAndCompactBook();
    const ino_t compacted = inodeOf(book);

    if (characterVisible) {
        QCOMPARE(finished.size(), 0);
        rig.clock.advance(topics::ShutdownWatch::CharacterLeaveMs - 1);
        QCOMPARE(finished.size(), 0);
        rig.clock.advance(1);
    }
    QCOMPARE(finished.size(), 1);
    watch.requestQuit();
    TopicsRig::settle();
    rig.clock.advance(10000);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(inodeOf(book), compacted); // asking again compacts nothing
}

void ShutdownWatchTest::waitTicksCountDownAndADirectQuitIsSeen() {
    TopicsRig rig;
    rig.openTopics({});
    topics::ShutdownWatch watch(rig.settings, rig.locations, rig.store, rig.state, rig.list,
                                rig.clock, [] { return false; });
    QSignalSpy finished(&watch, &topics::ShutdownWatch::finished);
    watch.startWaitTicks(3);
    rig.clock.advance(10);
    QCOMPARE(rig.list.WaitTicks, qint16(2));
    rig.clock.advance(20);
    QCOMPARE(rig.list.WaitTicks, qint16(0));
    rig.clock.advance(100);
    QCOMPARE(rig.list.WaitTicks, qint16(0));
    QCOMPARE(finished.size(), 0);

    // The reader sets the flag itself when a stop ends a pending quit.
    rig.state.QuitRequested = true;
    rig.clock.advance(topics::ShutdownWatch::FlagCheckMs);
    QCOMPARE(finished.size(), 1);
    QVERIFY(QFile::exists(settings::SettingsFilePath(rig.locations.ProgramFolder)));
}

QTEST_MAIN(ShutdownWatchTest)
#include "tst_shutdownwatch.moc"
