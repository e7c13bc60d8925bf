// Speech as it is heard, per engine, on a null sink of the benchmark's own:
//   character.first_audio.<engine>   speak() until its first sound reaches the sink (median, ms)
//   character.sentence_gap.<engine>  silence between two sentences queued one after the
//                                    other, as heard on the sink (median, ms); the baseline is
//                                    espeak-ng's own silence between two sentences of one text
//   character.idle_cpu               CPU of a shown, resting character with its voice loaded
//                                    (% of a core, over 10 s)
#include "AudioServer.h"
#include "BenchFigures.h"
#include "platform/character/DesktopCharacterService.h"
#include "platform/character/EspeakSynthesizer.h"
#include "platform/character/RequestQueue.h"
#include "platform/character/VoiceProvider.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <vector>

using namespace folimar::character;
using folimar::bench::longestSilences;
using folimar::bench::SinkListener;

namespace {

// Sentences without a pause of their own, so every silence heard lies between two of them.
const QStringList Sentences = {"Cows moo.",   "Fish swim.", "Lions roar.", "Seals swim.",
                               "Hens lay.",   "Cows moo.",  "Fish swim.",  "Lions roar.",
                               "Seals swim.", "Hens lay."};
// Runs the event loop until `done` holds or `timeoutMs` passes.
template <typename Done> bool waitFor(Done done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

double msBetween(SinkListener::Clock::time_point from, SinkListener::Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct HeardFigures {
    double firstAudioMs;
    double sentenceGapMs;
};

std::optional<HeardFigures> measureEngine(const DesktopVoiceProvider& provider,
                                          const QString& engine, const char* voiceClass,
                                          const SinkListener& listener) {
    VoiceSettings settings;
    settings.engine = engine;
    std::unique_ptr<Voice> voice = provider.create(settings);
    if (!voice->inherits(voiceClass))
        return std::nullopt;

    // One sentence at a time: from speak() to the first voiced block that arrives after it;
    // a block arrives once all its 10 ms are in, so that much is taken off.
    std::vector<double> firstAudio;
    for (const QString& sentence : Sentences) {
        bool finished = false;
        const auto connection =
            QObject::connect(voice.get(), &Voice::finished, [&] { finished = true; });
        const auto askedAt = SinkListener::Clock::now();
        voice->speak(sentence);
        const bool spoken = waitFor([&] { return finished; }, 10000);
        QObject::disconnect(connection);
        if (!spoken)
            return std::nullopt;
        waitFor([] { return false; }, 300);
        for (const SinkListener::Block& block : listener.blocks()) {
            if (block.voiced && block.arrived > askedAt) {
                firstAudio.push_back(msBetween(askedAt, block.arrived) - SinkListener::BlockMs);
                break;
            }
        }
    }

    // All queued at once: the queue starts each sentence as the previous one ends.
    RequestQueue queue(std::move(voice));
    const auto from = SinkListener::Clock::now();
    RequestId last = 0;
    for (const QString& sentence : Sentences)
        last = queue.speak(sentence);
    bool allDone = false;
    QObject::connect(&queue, &RequestQueue::requestComplete,
                     [&](RequestId id) { allDone = allDone || id == last; });
    if (!waitFor([&] { return allDone; }, 60000))
        return std::nullopt;
    waitFor([] { return false; }, 300);
    std::vector<bool> heard;
    for (const SinkListener::Block& block : listener.blocks())
        if (block.arrived > from)
            heard.push_back(block.voiced);
    const std::vector<double> gaps =
        longestSilences(heard, SinkListener::BlockMs, std::size_t(Sentences.size() - 1));
    if (firstAudio.empty() || gaps.empty())
        return std::nullopt;
    return HeardFigures{folimar::bench::median(firstAudio), folimar::bench::median(gaps)};
}

// espeak-ng's own silence between two sentences said as one text, measured the same way.
std::optional<double> espeakOwnSentenceGap() {
    QString why;
    const auto synthesizer = EspeakSynthesizer::open(&why);
    if (!synthesizer)
        return std::nullopt;
    const SpokenAudio audio =
        synthesizer->synthesizeToBuffer(Sentences[0] + " " + Sentences[1], VoiceSettings{});
    const std::size_t block = std::size_t(audio.sampleRate / 100);
    std::vector<bool> heard;
    for (std::size_t at = 0; at + block <= audio.samples.size(); at += block)
        heard.push_back(folimar::bench::voiced(audio.samples.data() + at, block));
    const std::vector<double> gaps = longestSilences(heard, 10.0, 1);
    if (gaps.empty())
        return std::nullopt;
    return gaps.front();
}

double cpuSeconds() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::optional<double> idleCpuPercent(const QString& voiceFile) {
    DesktopCharacterService service(DesktopCharacterService::defaultCharacterFolders(),
                                    std::make_unique<DesktopVoiceProvider>(), voiceFile);
    QString error;
    Character* genie = service.load("CharacterID", "Genie", &error);
    if (!genie) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return std::nullopt;
    }
    genie->show();
    bool shown = false;
    QObject::connect(genie, &Character::requestComplete, [&] { shown = true; });
    genie->get("state", "Speaking");
    waitFor([&] { return shown; }, 5000);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop rest;
    QTimer::singleShot(10000, &rest, &QEventLoop::quit);
    rest.exec();
    return 100.0 * (cpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) / 1e9);
}

void print(const QString& figure, double value, const char* unit) {
    std::printf("bench %s %.2f %s\n", qPrintable(figure), value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const folimar::bench::AudioServer audio;
    if (!audio.running()) {
        std::fprintf(stderr, "no sound server could be started\n");
        return 1;
    }
    // Listening stops before the resting character is measured.
    auto listener = std::make_unique<SinkListener>();
    if (!listener->listening()) {
        std::fprintf(stderr, "the null sink cannot be listened to\n");
        return 1;
    }
    const DesktopVoiceProvider provider;
    bool measured = false;
    for (const auto& [engine, voiceClass] :
         {std::pair{"espeak-ng", "folimar::character::EspeakVoice"},
          std::pair{"speech-dispatcher", "folimar::character::SpeechDispatcherVoice"}}) {
        const auto figures = measureEngine(provider, engine, voiceClass, *listener);
        if (!figures) {
            std::fprintf(stderr, "%s did not speak here\n", engine);
            continue;
        }
        measured = true;
        print(QStringLiteral("character.first_audio.%1").arg(engine), figures->firstAudioMs, "ms");
        print(QStringLiteral("character.sentence_gap.%1").arg(engine), figures->sentenceGapMs,
              "ms");
    }
    listener.reset();
    if (const auto own = espeakOwnSentenceGap())
        print(QStringLiteral("character.sentence_gap.baseline"), *own, "ms");

    QTemporaryDir home;
    if (const auto cpu = idleCpuPercent(home.filePath("voice.conf")))
        print(QStringLiteral("character.idle_cpu"), *cpu, "%");
    return measured ? 0 : 1;
}
