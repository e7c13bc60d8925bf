#include "platform/character/RequestQueue.h"
#include "platform/character/SilentVoice.h"
#include "platform/character/VoiceProvider.h"

#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/types.h>

using namespace folimar::character;

namespace {

QList<RequestId> completedIds(const QSignalSpy& spy) {
    QList<RequestId> ids;
    for (const auto& arguments : spy)
        ids << arguments.at(0).value<RequestId>();
    return ids;
}

std::unique_ptr<Voice> fastVoice() {
    return std::make_unique<SilentVoice>(0.0, 2000.0);
}
std::unique_ptr<Voice> slowVoice() {
    return std::make_unique<SilentVoice>(0.0, 0.5);
}

// A voice whose words and ending the test gives.
class ScriptedVoice final : public Voice {
public:
    void speak(const QString&) override { speaking = true; }
    void stop() override { speaking = false; }
    int msPerWord() const override { return 300; }
    void word(int offset, int length) { Q_EMIT wordReached(offset, length); }
    void end() {
        speaking = false;
        Q_EMIT finished();
    }
    bool speaking = false;
};

} // namespace

class RequestQueueTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void requestsCompleteOnceInQueueOrder() {
        RequestQueue queue(fastVoice());
        QSignalSpy done(&queue, &RequestQueue::requestComplete);
        QSignalSpy spoken(&queue, &RequestQueue::utteranceStarted);
        const RequestId first = queue.speak("One two three.");
        const RequestId blank = queue.speak("   ");
        const RequestId second = queue.speak("Four five.");
        const RequestId waiting = queue.wait();
        QCOMPARE(QList<RequestId>({first, blank, second, waiting}), QList<RequestId>({1, 2, 3, 4}));
        QCOMPARE(done.count(), 0); // never inside the call that queued them
        QTRY_COMPARE(done.count(), 4);
        QTest::qWait(50);
        QCOMPARE(completedIds(done), QList<RequestId>({1, 2, 3, 4}));
        QCOMPARE(spoken.count(), 2); // the blank text is not handed to the voice
        QCOMPARE(spoken.at(1).at(0).toString(), QString("Four five."));
    }

    void getWaitsForSpeechQueuedBeforeIt() {
        RequestQueue queue(slowVoice());
        QSignalSpy done(&queue, &RequestQueue::requestComplete);
        queue.speak("A slow sentence of several words.");
        const RequestId waiting = queue.wait();
        QTest::qWait(100);
        QCOMPARE(done.count(), 0);
        QVERIFY(queue.isBusy());
        queue.stop();
        QTRY_COMPARE(completedIds(done), QList<RequestId>({1, waiting}));
    }

    void stopCancelsEverythingAndEachStillCompletes() {
        RequestQueue queue(slowVoice());
        QSignalSpy done(&queue, &RequestQueue::requestComplete);
        QSignalSpy ended(&queue, &RequestQueue::utteranceEnded);
        int cancelHooks = 0;
        std::function<void()> lateDone;
        queue.speak("First sentence is long enough.");
        queue.perform([&](std::function<void()> finish) { lateDone = std::move(finish); },
                      [&] { ++cancelHooks; });
        queue.speak("Second sentence.");
        queue.wait();
        queue.stop();
        QCOMPARE(done.count(), 0); // reported from the event loop, not inside stop()
        QCOMPARE(ended.count(), 1);
        QCOMPARE(cancelHooks, 1);
        QVERIFY(!queue.isBusy());

        // Requests made right after stop() complete after the cancelled ones.
        queue.setVoice(fastVoice());
        const RequestId after = queue.speak("Quick words.");
        QCOMPARE(after, RequestId(5));
        QTRY_COMPARE(done.count(), 5);
        QCOMPARE(completedIds(done), QList<RequestId>({1, 2, 3, 4, 5}));

        // A step started and then cancelled may still call back; that must not count.
        const RequestId step =
            queue.perform([&](std::function<void()> finish) { lateDone = std::move(finish); });
        queue.stop();
        lateDone();
        queue.wait();
        QTRY_COMPARE(done.count(), 7);
        QTest::qWait(50);
        QCOMPARE(completedIds(done).mid(5), QList<RequestId>({step, step + 1}));
    }

    void receiverMayStopOrQueueFromItsHandler() {
        RequestQueue queue(fastVoice());
        QList<RequestId> seen;
        RequestId followUp = 0;
        connect(&queue, &RequestQueue::requestComplete, this, [&](RequestId id) {
            seen << id;
            if (id == 1) {
                queue.stop();
                followUp = queue.speak("Again.");
            }
        });
        queue.speak("Hello there.");
        queue.speak("Cancelled from the handler.");
        queue.wait();
        QTRY_COMPARE(seen.size(), 4);
        QTest::qWait(50);
        QCOMPARE(seen, QList<RequestId>({1, 2, 3, followUp}));
    }

    void silentVoicePacesByWordsAndRate() {
        QCOMPARE(SilentVoice::wordCount("  Two\twords\n"), 2);
        QCOMPARE(SilentVoice::wordCount(""), 0);
        QCOMPARE(SilentVoice(0.0).msPerWord(), 333);
        QCOMPARE(SilentVoice(1.0).msPerWord(), 167);  // twice as fast
        QCOMPARE(SilentVoice(-1.0).msPerWord(), 667); // half as fast
        QCOMPARE(SilentVoice(5.0).msPerWord(), 167);  // clamped
    }

    // With no sound server the silent voice stands in, still finishing what it is given, and
    // the user is told once why; choosing the silent voice tells nothing.
    void voiceWithoutASoundServerStillFinishesAndIsToldOnce() {
        QTemporaryDir nowhere;
        QVERIFY(nowhere.isValid());
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(nowhere.filePath("no-server")));
        qputenv("SPEECHD_ADDRESS",
                "unix_socket:" + QFile::encodeName(nowhere.filePath("no-service")));
        DesktopVoiceProvider provider;
        QStringList told;
        provider.setSilenceNotice([&](const QString& why) { told << why; });
        VoiceSettings fast;
        fast.rate = 1.0;
        const auto voice = provider.create(fast);
        QVERIFY(qobject_cast<SilentVoice*>(voice.get()));
        QSignalSpy started(voice.get(), &Voice::started);
        QSignalSpy finished(voice.get(), &Voice::finished);
        voice->speak("Still done.");
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(started.count(), 1);
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().contains("espeak-ng: the sound server did not answer") &&
                     told.first().contains("speech-dispatcher: the speech service did not answer"),
                 qPrintable(told.first()));

        QVERIFY(qobject_cast<SilentVoice*>(provider.create(fast).get()));
        QCOMPARE(told.size(), 1);

        DesktopVoiceProvider chosen;
        chosen.setSilenceNotice([&](const QString& why) { told << why; });
        QVERIFY(qobject_cast<SilentVoice*>(
            chosen.create(VoiceSettings{"silent", {}, 0.0, 0.0, 1.0}).get()));
        QCOMPARE(told.size(), 1);
        qunsetenv("SPEECHD_ADDRESS");

        // The speech service starts, but has no sound device: it takes texts and never ends
        // them, so it is not taken for a voice.
        if (!QStandardPaths::findExecutable("speech-dispatcher").isEmpty()) {
            const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(nowhere.path()));
            DesktopVoiceProvider mute;
            mute.setSilenceNotice([&](const QString& why) { told << why; });
            VoiceSettings service = fast;
            service.engine = "speech-dispatcher";
            QVERIFY(qobject_cast<SilentVoice*>(mute.create(service).get()));
            QCOMPARE(told.size(), 2);
            QVERIFY2(told.last().startsWith("speech-dispatcher: the speech service took a text "
                                            "but played nothing"),
                     qPrintable(told.last()));
            qputenv("XDG_RUNTIME_DIR", runtime);
            // The service it started waits on its silent text for good, deaf to a polite end.
            QFile pidFile(nowhere.filePath("speech-dispatcher/pid/speech-dispatcher.pid"));
            QVERIFY(pidFile.open(QIODevice::ReadOnly));
            const pid_t spawned = pid_t(pidFile.readAll().trimmed().toLongLong());
            QVERIFY(spawned > 0 && ::kill(spawned, SIGKILL) == 0);
        }
        qunsetenv("PULSE_SERVER");
    }

    void voiceSettingsKeepTheChoiceAndClampOddValues() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString path = home.filePath("sub/voice.conf");
        QCOMPARE(VoiceSettings::load(path), VoiceSettings{}); // no file yet: defaults
        const VoiceSettings chosen{"flite", "kal", 0.5, -0.25, 0.6};
        QVERIFY(chosen.save(path));
        QCOMPARE(VoiceSettings::load(path), chosen);

        QFile odd(path);
        QVERIFY(odd.open(QIODevice::WriteOnly | QIODevice::Truncate));
        odd.write("[General]\nrate=7\npitch=-3\nvolume=loud\n");
        odd.close();
        const VoiceSettings clamped = VoiceSettings::load(path);
        QCOMPARE(clamped.rate, 1.0);
        QCOMPARE(clamped.pitch, -1.0);
        QCOMPARE(clamped.volume, VoiceSettings{}.volume);
    }

    void wordsCountOnlyWhileTheirUtteranceIsUnderWay() {
        auto owned = std::make_unique<ScriptedVoice>();
        ScriptedVoice& voice = *owned;
        RequestQueue queue(std::move(owned));
        QSignalSpy words(&queue, &RequestQueue::wordReached);
        const RequestId first = queue.speak("One two.");
        const RequestId second = queue.speak("Three four.");
        voice.word(4, 3);
        voice.end(); // the second utterance begins at once
        QVERIFY(voice.speaking);
        voice.word(6, 4);
        queue.stop();
        voice.word(0, 5); // after a stop
        QCOMPARE(words.count(), 2);
        QCOMPARE(words.at(0), (QVariantList{QVariant::fromValue(first), 4, 3}));
        QCOMPARE(words.at(1), (QVariantList{QVariant::fromValue(second), 6, 4}));
    }
};

QTEST_GUILESS_MAIN(RequestQueueTest)
#include "tst_requestqueue.moc"
