#include "platform/character/EspeakVoice.h"

#include "platform/character/CharacterLog.h"

#include <QTimer>
#include <utility>

namespace folimar::character {

EspeakVoice::EspeakVoice(std::shared_ptr<EspeakSynthesizer> synthesizer,
                         const VoiceSettings& settings, QObject* parent)
    : Voice(parent), synthesizer_(std::move(synthesizer)), settings_(settings),
      silent_(settings.rate),
      playback_(synthesizer_->sampleRate(), [this](const PulsePlayback::Notice& n) { post(n); }),
      synthesis_(&EspeakVoice::synthesisLoop, this) {
    connect(&silent_, &Voice::started, this, [this] {
        if (!std::exchange(heardStart_, true))
            Q_EMIT started();
    });
    connect(&silent_, &Voice::finished, this, &Voice::finished);
}

EspeakVoice::~EspeakVoice() {
    {
        const std::lock_guard lock(jobMutex_);
        quit_ = true;
    }
    jobWake_.notify_all();
    playback_.cancel(); // a synthesis waiting for room in the ring gives up
    synthesis_.join();
}

void EspeakVoice::speak(const QString& text) {
    text_ = text;
    retried_ = false;
    heardStart_ = false;
    start(text);
}

void EspeakVoice::start(const QString& text) {
    const std::uint64_t utterance = ++utterance_;
    playback_.begin(utterance);
    {
        const std::lock_guard lock(jobMutex_);
        job_ = Job{utterance, text};
    }
    jobWake_.notify_all();
}

// Whatever is under way is dropped at once; its notices, still on their way, are ignored.
void EspeakVoice::stop() {
    ++utterance_;
    silent_.stop();
    {
        const std::lock_guard lock(jobMutex_);
        job_.reset();
    }
    playback_.cancel();
}

int EspeakVoice::msPerWord() const {
    return EspeakSynthesizer::msPerWord(settings_.rate);
}

void EspeakVoice::synthesisLoop() {
    std::unique_lock lock(jobMutex_);
    for (;;) {
        jobWake_.wait(lock, [this] { return quit_ || job_; });
        if (quit_)
            return;
        const Job job = *std::exchange(job_, std::nullopt);
        lock.unlock();
        const bool spoken = synthesizer_->synthesize(
            job.text, settings_,
            [&](std::span<const std::int16_t> samples, const std::vector<WordMark>& words) {
                return playback_.push(job.utterance, samples, words);
            });
        if (spoken)
            playback_.end(job.utterance);
        lock.lock();
        if (!spoken && !quit_ && !job_)
            post({PulsePlayback::Event::Failed,
                  job.utterance,
                  {},
                  QStringLiteral("synthesis failed")});
    }
}

// From the audio and synthesis threads to this voice's own.
void EspeakVoice::post(const PulsePlayback::Notice& notice) {
    QMetaObject::invokeMethod(
        this, [this, notice] { onNotice(notice); }, Qt::QueuedConnection);
}

void EspeakVoice::onNotice(const PulsePlayback::Notice& notice) {
    if (notice.utterance != utterance_)
        return; // from an utterance stopped or replaced since
    switch (notice.event) {
    case PulsePlayback::Event::Started:
        if (!std::exchange(heardStart_, true))
            Q_EMIT started();
        break;
    case PulsePlayback::Event::Word:
        Q_EMIT wordReached(notice.word.offset, notice.word.length);
        break;
    case PulsePlayback::Event::Finished:
        Q_EMIT finished();
        break;
    case PulsePlayback::Event::Failed:
        ++failures_;
        if (!std::exchange(retried_, true)) {
            qCInfo(characterLog) << "espeak-ng failed:" << notice.why
                                 << "- saying it again:" << text_;
            QTimer::singleShot(RetryDelayMs, this, [this, utterance = utterance_] {
                if (utterance == utterance_)
                    start(text_);
            });
        } else {
            qCWarning(characterLog)
                << "espeak-ng failed again:" << notice.why << "- pacing silently:" << text_;
            silent_.speak(text_);
        }
        break;
    }
}

} // namespace folimar::character
