// Reads sentences aloud with each engine the machine has, into a PulseAudio null sink of the
// test's own, and checks on the sink's monitor that each sentence was heard whole.
#include "HeardSentences.h"
#include "platform/character/DesktopCharacterService.h"
#include "platform/character/EspeakSynthesizer.h"
#include "platform/character/VoiceProvider.h"
#include "platform/clock/Clock.h"
#include "reader/CharacterHost.h"
#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "support/ScriptedDialogs.h"
#include "support/SkipOutsideCi.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace folimar;
using namespace folimar::character;

namespace {

constexpr int SentenceCount = 200;
constexpr int RecordRate = 16000;
// The storms are kept short enough for the whole test to stay within a few minutes.
constexpr int VoiceStormMs = 15000;
constexpr int ReaderStormMs = 30000;
// Short one-clause sentences.
const QStringList Sentences{"Birds sing.", "The sun is up.", "Dogs run.",
                            "Fish swim.",  "Trees grow.",    "Rain falls."};

// The voice of `engine` at a quick rate; nothing when that engine does not speak on this
// machine (the provider then hands out another kind of voice).
std::unique_ptr<Voice> quickVoice(const QString& engine, const char* voiceClass) {
    DesktopVoiceProvider provider;
    VoiceSettings settings;
    settings.engine = engine;
    settings.rate = 1.0;
    std::unique_ptr<Voice> voice = provider.create(settings);
    return voice->inherits(voiceClass) ? std::move(voice) : nullptr;
}

// What was said, and when each sentence was handed over (ms), then when the last ended.
struct Said {
    QStringList sentences;
    QList<std::int64_t> handedOver;
};

// Every sentence said was heard whole on the recording (whether each 10 ms held voice).
void verifyHeardWhole(const QList<bool>& voiced, const Said& said) {
    QStringList missed;
    for (int i : folimar::testing::sentencesNotHeardWhole(voiced, said.handedOver, said.sentences))
        missed << QString::number(i) + " \"" + said.sentences[i] + '"';
    QVERIFY2(missed.isEmpty(), qPrintable("not heard whole: " + missed.join(", ")));
}

// Records the null sink's monitor while it lives.
class Recorder {
public:
    bool start() {
        process_.start(QStringLiteral("parec"),
                       {"-d", "listen.monitor", "--format=s16le", "--channels=1",
                        "--rate=" + QString::number(RecordRate), "--raw", "--latency-msec=20"});
        if (!process_.waitForStarted(5000))
            return false;
        QTest::qWait(500);
        return true;
    }
    // Whether each 10 ms of the recording held voice.
    QList<bool> stop() {
        QTest::qWait(500);
        process_.terminate();
        process_.waitForFinished(5000);
        const QByteArray raw = process_.readAllStandardOutput();
        return folimar::testing::voicedFrames(
            {reinterpret_cast<const std::int16_t*>(raw.constData()),
             std::size_t(raw.size()) / sizeof(std::int16_t)},
            RecordRate);
    }

private:
    QProcess process_;
};

// Says `count` sentences one after the other, each as the one before ends.
void sayInTurn(Voice& voice, int count, Said& said) {
    QElapsedTimer clock;
    clock.start();
    QTimer next;
    next.setSingleShot(true);
    next.setInterval(0);
    const auto sayNext = [&] {
        said.sentences << Sentences[said.sentences.size() % Sentences.size()];
        said.handedOver << clock.elapsed();
        voice.speak(said.sentences.back());
    };
    QObject::connect(&next, &QTimer::timeout, sayNext);
    bool done = false;
    const auto connection = QObject::connect(&voice, &Voice::finished, [&] {
        if (said.sentences.size() < count) {
            next.start();
        } else {
            said.handedOver << clock.elapsed();
            done = true;
        }
    });
    sayNext();
    QTRY_VERIFY_WITH_TIMEOUT(done, count * 3000);
    QObject::disconnect(connection);
}

} // namespace

class TestListening : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void everySentenceIsHeard_data();
    void everySentenceIsHeard();
    void espeakGivesEachWordItsPlace_data();
    void espeakGivesEachWordItsPlace();
    void voicesTellEachWordAsItIsHeard_data();
    void voicesTellEachWordAsItIsHeard();
    void stormOfStopsAndSaysLeavesTheVoiceWhole();
    void stormOfReadingKeysLeavesTheReaderWhole();

private:
    QTemporaryDir runtime_;
    QProcess server_;
};

// A sound server of the test's own: its own runtime folder, a null sink, ended at the end.
void TestListening::initTestCase() {
    // Sound in real time tests no memory the other tests do not, and a sanitized build is
    // too slow to keep it: ctest leaves this test (label "realtime") to the plain build.
    if (qEnvironmentVariableIsSet("FOLIMAR_SANITIZED"))
        QSKIP(
            "a sanitized build cannot keep real time; the listening test runs in the plain build");
    QVERIFY(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    qunsetenv("PULSE_SERVER");
    server_.setProgram(QStringLiteral("pulseaudio"));
    server_.setArguments({"--daemonize=no", "-n", "--exit-idle-time=20", "--use-pid-file=no",
                          "--load=module-null-sink sink_name=listen",
                          "--load=module-native-protocol-unix"});
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start();
    if (!server_.waitForStarted(5000))
        FOLIMAR_SKIP_OUTSIDE_CI("pulseaudio is not installed: nothing can be heard");
    const QString socket = runtime_.filePath("pulse/native");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 10000);
}

void TestListening::cleanupTestCase() {
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(5000))
            server_.kill();
    }
}

void TestListening::everySentenceIsHeard_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("voiceClass");
    QTest::newRow("espeak-ng") << QStringLiteral("espeak-ng")
                               << QStringLiteral("folimar::character::EspeakVoice");
    QTest::newRow("speech-dispatcher")
        << QStringLiteral("speech-dispatcher")
        << QStringLiteral("folimar::character::SpeechDispatcherVoice");
}

void TestListening::everySentenceIsHeard() {
    QFETCH(QString, engine);
    QFETCH(QString, voiceClass);
    const std::unique_ptr<Voice> voice = quickVoice(engine, qPrintable(voiceClass));
    if (!voice)
        FOLIMAR_SKIP_OUTSIDE_CI(qPrintable(engine + " does not speak on this machine"));

    Recorder recorder;
    if (!recorder.start())
        FOLIMAR_SKIP_OUTSIDE_CI(
            "parec (pulseaudio-utils) is not installed: nothing can be recorded");
    Said said;
    sayInTurn(*voice, SentenceCount, said);
    if (QTest::currentTestFailed())
        return;
    verifyHeardWhole(recorder.stop(), said);
}

// Word places are positions in the text as the program holds it (UTF-16), whatever
// espeak-ng counts in.
void TestListening::espeakGivesEachWordItsPlace_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("plain") << QStringLiteral("Birds sing well.") << QList<int>{0, 6, 11};
    QTest::newRow("accents") << QStringLiteral("Été à Noël.") << QList<int>{0, 4, 6};
    QTest::newRow("beyond the basic plane")
        << QStringLiteral("\U0001D11E here now.") << QList<int>{3, 8};
}

void TestListening::espeakGivesEachWordItsPlace() {
    QFETCH(QString, text);
    QFETCH(QList<int>, starts);
    QString why;
    const auto synthesizer = EspeakSynthesizer::open(&why);
    if (!synthesizer)
        FOLIMAR_SKIP_OUTSIDE_CI(qPrintable("espeak-ng is not on this machine: " + why));
    const SpokenAudio audio = synthesizer->synthesizeToBuffer(text, VoiceSettings{});
    QVERIFY(audio.samples.size() > std::size_t(audio.sampleRate) / 10);
    QList<int> found;
    std::int64_t before = -1;
    for (const WordMark& word : audio.words) {
        QVERIFY(word.sample >= before && word.sample <= std::int64_t(audio.samples.size()));
        before = word.sample;
        if (text.mid(word.offset, 1).at(0).isLetter())
            found << word.offset;
    }
    QCOMPARE(found, starts);
}

// Each engine that can tells the words in order, by their places in the text it was given,
// between its start and its end; the speech service through the marks put before words.
void TestListening::voicesTellEachWordAsItIsHeard_data() {
    everySentenceIsHeard_data();
}

void TestListening::voicesTellEachWordAsItIsHeard() {
    QFETCH(QString, engine);
    QFETCH(QString, voiceClass);
    const std::unique_ptr<Voice> voice = quickVoice(engine, qPrintable(voiceClass));
    if (!voice)
        FOLIMAR_SKIP_OUTSIDE_CI(qPrintable(engine + " does not speak on this machine"));
    const QString text = QStringLiteral("Tom & Jerry <say> \"hello\" now.");
    QList<QPair<int, int>> words;
    bool started = false;
    bool finished = false;
    connect(voice.get(), &Voice::started, this, [&] { started = true; });
    connect(voice.get(), &Voice::wordReached, this, [&](int offset, int length) {
        QVERIFY(started && !finished);
        words.append({offset, length});
    });
    connect(voice.get(), &Voice::finished, this, [&] { finished = true; });
    voice->speak(text);
    QTRY_VERIFY_WITH_TIMEOUT(finished, 10000);
    QStringList heard;
    for (const auto& [offset, length] : std::as_const(words))
        heard << text.mid(offset, length).remove(QRegularExpression(QStringLiteral("\\W+$")));
    QCOMPARE(heard.first(), QStringLiteral("Tom"));
    QCOMPARE(heard.last(), QStringLiteral("now"));
    QVERIFY2(heard.contains(QStringLiteral("hello")), qPrintable(heard.join('|')));
}

// Stops and says as fast as keys come, then a page of sentences, every one heard. The speech
// service's voice is stormed here; the reader's storm below goes to the first choice.
void TestListening::stormOfStopsAndSaysLeavesTheVoiceWhole() {
    const std::unique_ptr<Voice> voice = quickVoice(QStringLiteral("speech-dispatcher"),
                                                    "folimar::character::SpeechDispatcherVoice");
    if (!voice)
        FOLIMAR_SKIP_OUTSIDE_CI("the speech service does not speak on this machine");
    QElapsedTimer storm;
    storm.start();
    auto* random = QRandomGenerator::global();
    int stormed = 0;
    while (storm.elapsed() < VoiceStormMs) {
        if (random->bounded(2) == 0) {
            voice->speak(Sentences[stormed++ % Sentences.size()]);
        } else {
            voice->stop();
        }
        QTest::qWait(20 + int(random->bounded(81)));
    }
    voice->stop();
    Recorder recorder;
    if (!recorder.start())
        FOLIMAR_SKIP_OUTSIDE_CI(
            "parec (pulseaudio-utils) is not installed: nothing can be recorded");
    Said said;
    sayInTurn(*voice, 20, said);
    if (QTest::currentTestFailed())
        return;
    verifyHeardWhole(recorder.stop(), said);
}

// The reader's own Pause, Next, Play and Stop as fast as keys come, with the desktop's
// first choice of voice; then a page read from its top is heard whole.
void TestListening::stormOfReadingKeysLeavesTheReaderWhole() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(VoiceSettings{}.save(home.filePath("voice.conf")));
    character::DesktopCharacterService service({QStringLiteral(FOLIMAR_BIN_DIR "/characters")},
                                               std::make_unique<DesktopVoiceProvider>(),
                                               home.filePath("voice.conf"));
    reader::ReaderState state;
    settings::Settings settings;
    folimar::testing::ScriptedDialogs dialogs;
    platform::SteadyClock clock;
    reader::MemoryTextBox box;
    reader::CharacterHost host(state, settings, service, dialogs);
    reader::SentenceReader reader(state, settings, host, dialogs, clock);
    reader.setTextBox(&box);
    QStringList book;
    for (int i = 0; i < 400; ++i)
        book << Sentences[i % Sentences.size()];
    box.setText(book.join(' '));
    QVERIFY(host.ensureLoaded());

    QElapsedTimer storm;
    storm.start();
    auto* random = QRandomGenerator::global();
    while (storm.elapsed() < ReaderStormMs) {
        switch (random->bounded(4)) {
        case 0:
            reader.TogglePause();
            break;
        case 1:
            reader.SkipSentence();
            break;
        case 2:
            reader.PlayReading();
            break;
        default:
            reader.StopReading();
            break;
        }
        QTest::qWait(20 + int(random->bounded(81)));
    }
    reader.StopReading();
    QTRY_VERIFY_WITH_TIMEOUT(!reader.isReading(), 10000);
    QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.value(0).text));

    QStringList page;
    for (int i = 0; i < 20; ++i)
        page << Sentences[i % Sentences.size()];
    box.setText(page.join(' '));
    settings.ReadPos = 0;
    Recorder recorder;
    if (!recorder.start())
        FOLIMAR_SKIP_OUTSIDE_CI(
            "parec (pulseaudio-utils) is not installed: nothing can be recorded");
    QElapsedTimer sinceStart;
    sinceStart.start();
    Said said{page, {}};
    connect(&reader, &reader::SentenceReader::sentenceQueued, this,
            [&] { said.handedOver << sinceStart.elapsed(); });
    reader.PlayReading();
    QTRY_VERIFY_WITH_TIMEOUT(!reader.isReading(), 60000);
    said.handedOver << sinceStart.elapsed();
    QCOMPARE(said.handedOver.size(), page.size() + 1);
    verifyHeardWhole(recorder.stop(), said);
}

QTEST_MAIN(TestListening)
#include "tst_listening.moc"
