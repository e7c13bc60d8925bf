// Speech turn-around and the cost of a resting character:
//   character.speak_to_speaking  speak() until the engine says Speaking (median, ms)
//   character.sentence_gap       Ready of one sentence to Speaking of the next one queued
//                                behind it (median, ms)
//   character.idle_cpu           CPU of a shown, resting character over 10 s (% of a core)
// The default engine gives the figures; the other Qt engine, measured in the same run, the
// baselines.
#include "AudioServer.h"
#include "platform/character/DesktopCharacterService.h"
#include "platform/character/QtSpeechVoice.h"
#include "platform/character/RequestQueue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextToSpeech>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <sys/resource.h>
#include <vector>

using namespace folimar::character;

namespace {

const QStringList Sentences = {
    "The quick brown fox jumps over the lazy dog.",
    "A book is a garden carried in the pocket.",
    "Reading aloud helps the words to stay.",
    "Every page has a story of its own.",
    "The river ran softly under the old stone bridge.",
    "She turned the page and smiled.",
    "Morning light fell across the kitchen table.",
    "Numbers like three point five stay in one sentence.",
    "The owl watched quietly from the branch.",
    "At last the long chapter came to an end.",
};

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

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct SpeechFigures {
    double speakToSpeakingMs;
    double sentenceGapMs;
    int failures;
};

// Utterances the engine failed are paced silently by the voice; they are left out of the
// figures and counted instead.
std::optional<SpeechFigures> measureEngine(const QString& engine) {
    VoiceSettings settings;
    settings.engine = engine;
    auto voice = std::make_unique<QtSpeechVoice>(std::make_shared<QTextToSpeech>(engine), settings);
    if (!voice->isAudible())
        return std::nullopt;
    QtSpeechVoice& engineVoice = *voice;
    QElapsedTimer clock;
    clock.start();
    const auto now = [&] { return clock.nsecsElapsed() / 1e6; };
    std::vector<double> started;
    std::vector<std::pair<double, int>> finished; // time, failures so far
    QObject::connect(voice.get(), &Voice::started, [&] { started.push_back(now()); });
    QObject::connect(voice.get(), &Voice::finished,
                     [&] { finished.emplace_back(now(), engineVoice.failures()); });

    // One sentence at a time: the time from speak() to Speaking.
    std::vector<double> latencies;
    for (const QString& sentence : Sentences) {
        const size_t before = finished.size();
        const int failuresBefore = engineVoice.failures();
        const double askedAt = now();
        engineVoice.speak(sentence);
        if (!waitFor([&] { return finished.size() > before; }, 60000))
            return std::nullopt;
        if (engineVoice.failures() == failuresBefore)
            latencies.push_back(started.back() - askedAt);
    }

    // All queued at once: the queue starts each sentence as the previous one ends.
    started.clear();
    finished.clear();
    const int failuresBefore = engineVoice.failures();
    RequestQueue queue(std::move(voice));
    RequestId last = 0;
    for (const QString& sentence : Sentences)
        last = queue.speak(sentence);
    bool allDone = false;
    QObject::connect(&queue, &RequestQueue::requestComplete,
                     [&](RequestId id) { allDone = allDone || id == last; });
    if (!waitFor([&] { return allDone; }, 240000) || started.size() != finished.size())
        return std::nullopt;
    std::vector<double> gaps;
    for (size_t i = 1; i < started.size(); ++i) {
        const int failuresBeforePrevious = i >= 2 ? finished[i - 2].second : failuresBefore;
        if (finished[i].second == failuresBeforePrevious)
            gaps.push_back(started[i] - finished[i - 1].first);
    }
    if (latencies.empty() || gaps.empty())
        return std::nullopt;
    return SpeechFigures{median(latencies), median(gaps), engineVoice.failures()};
}

double cpuSeconds() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
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
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * (cpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
}

void print(const char* figure, double value, const char* unit) {
    std::printf("bench %s %.2f %s\n", figure, value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    folimar::bench::AudioServer audio;
    if (!audio.running())
        std::fprintf(stderr, "no sound server could be started; engines may fail\n");

    const QString chosen = DesktopVoiceProvider().defaultEngine();
    const QString other = chosen == "speechd" ? "flite" : "speechd";
    std::fprintf(stderr, "default engine: %s; baseline engine: %s\n", qPrintable(chosen),
                 qPrintable(other));
    const auto figures = measureEngine(chosen);
    if (figures) {
        std::fprintf(stderr, "%s failed %d of %d utterances (paced silently, left out)\n",
                     qPrintable(chosen), figures->failures, int(2 * Sentences.size()));
        print("character.speak_to_speaking", figures->speakToSpeakingMs, "ms");
        print("character.sentence_gap", figures->sentenceGapMs, "ms");
    } else {
        std::fprintf(stderr, "engine %s did not speak\n", qPrintable(chosen));
    }
    if (QTextToSpeech::availableEngines().contains(other)) {
        if (const auto baseline = measureEngine(other)) {
            std::fprintf(stderr, "%s failed %d of %d utterances\n", qPrintable(other),
                         baseline->failures, int(2 * Sentences.size()));
            print("character.speak_to_speaking.baseline", baseline->speakToSpeakingMs, "ms");
            print("character.sentence_gap.baseline", baseline->sentenceGapMs, "ms");
        } else {
            std::fprintf(stderr, "engine %s did not speak\n", qPrintable(other));
        }
    }

    QTemporaryDir home;
    if (const auto cpu = idleCpuPercent(home.filePath("voice.conf")))
        print("character.idle_cpu", *cpu, "%");
    return figures ? 0 : 1;
}
