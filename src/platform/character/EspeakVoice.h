#pragma once

#include "platform/character/EspeakSynthesizer.h"
#include "platform/character/PulsePlayback.h"
#include "platform/character/SilentVoice.h"
#include "platform/character/Voice.h"
#include "platform/character/VoiceSettings.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace folimar::character {

// espeak-ng speaking in our own process: synthesis on one thread of its own, sound out on
// another (PulsePlayback), word positions as they are heard. An utterance the sound output
// fails is spoken again once when the output has been set up anew; only if that fails too
// is it paced silently, and the next utterance tries the engine again.
class EspeakVoice final : public Voice {
    Q_OBJECT
public:
    static constexpr int RetryDelayMs = 200;

    EspeakVoice(std::shared_ptr<EspeakSynthesizer> synthesizer, const VoiceSettings& settings,
                QObject* parent = nullptr);
    ~EspeakVoice() override;

    // False (with the reason) when no sound server took our stream.
    bool isAudible() const { return playback_.isOpen(); }
    QString why() const { return playback_.why(); }
    // Utterances the engine failed since this voice was made.
    int failures() const { return failures_; }

    void speak(const QString& text) override;
    void stop() override;
    int msPerWord() const override;

private:
    struct Job {
        std::uint64_t utterance;
        QString text;
    };
    void synthesisLoop();
    void onNotice(const PulsePlayback::Notice& notice);
    void post(const PulsePlayback::Notice& notice);
    void start(const QString& text);

    std::shared_ptr<EspeakSynthesizer> synthesizer_;
    const VoiceSettings settings_;
    SilentVoice silent_;
    PulsePlayback playback_;
    QString text_;
    std::uint64_t utterance_ = 0;
    bool retried_ = false;
    bool heardStart_ = false;
    int failures_ = 0;

    std::mutex jobMutex_;
    std::condition_variable jobWake_;
    std::optional<Job> job_;
    bool quit_ = false;
    std::thread synthesis_;
};

} // namespace folimar::character
