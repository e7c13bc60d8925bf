#pragma once

#include "platform/character/SpokenAudio.h"
#include "platform/character/VoiceSettings.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <span>

namespace folimar::character {

// espeak-ng in our own process. The library keeps one instance per process: a synthesizer is
// shared by every voice and exporter of a provider, and speaking takes one call at a time.
class EspeakSynthesizer {
public:
    // Audio as it is made: samples in order and the words that start in them (their `sample`
    // counts from the utterance's start). Returning false abandons the utterance.
    using ChunkSink = std::function<bool(std::span<const std::int16_t> samples,
                                         const std::vector<WordMark>& words)>;

    // Null with `why` set when espeak-ng cannot start (no data files, say).
    static std::shared_ptr<EspeakSynthesizer> open(QString* why);
    EspeakSynthesizer(const EspeakSynthesizer&) = delete;
    EspeakSynthesizer& operator=(const EspeakSynthesizer&) = delete;

    int sampleRate() const { return sampleRate_; }
    QStringList voices() const;
    // How long one word takes at `rate` (-1..1).
    static int msPerWord(double rate);

    // Speaks `text` into `sink`; false when espeak-ng failed or the sink gave up.
    bool synthesize(const QString& text, const VoiceSettings& settings, const ChunkSink& sink);
    // The whole utterance in one buffer: for writing speech to a file.
    SpokenAudio synthesizeToBuffer(const QString& text, const VoiceSettings& settings);

private:
    explicit EspeakSynthesizer(int sampleRate);

    int sampleRate_;
    // One utterance at a time, across every synthesizer: the library has one state.
    static std::mutex& library();
};

} // namespace folimar::character
