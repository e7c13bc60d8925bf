#include "platform/character/QtSpeechVoice.h"

#include "platform/character/CharacterLog.h"

#include <QVoice>
#include <algorithm>
#include <cmath>
#include <utility>

namespace folimar::character {

namespace {

// Engines speak about 2.5 words a second at the normal rate; the deadline allows twice the
// expected time plus a margin for a slow start.
constexpr double EngineWordsPerSecond = 2.5;
constexpr int DeadlineMarginMs = 4000;

} // namespace

QtSpeechVoice::QtSpeechVoice(std::shared_ptr<QTextToSpeech> engine, const VoiceSettings& settings,
                             QObject* parent)
    : Voice(parent), engine_(std::move(engine)), settings_(settings), silent_(settings.rate),
      rate_(settings.rate) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, &QtSpeechVoice::onDeadline);
    connect(&silent_, &Voice::started, this, [this] {
        if (!std::exchange(heardStart_, true))
            Q_EMIT started();
    });
    connect(&silent_, &Voice::finished, this, &Voice::finished);
    if (!engine_ || engine_->state() == QTextToSpeech::Error) {
        qCInfo(characterLog) << "speech engine" << settings.engine << "failed to start:"
                             << (engine_ ? engine_->errorString() : QString());
        givenUp_ = true;
        return;
    }
    connect(engine_.get(), &QTextToSpeech::stateChanged, this, &QtSpeechVoice::onStateChanged);
}

// The engine may be shared with another voice (the options window's "Test"), so each
// utterance sets its own voice, rate, pitch and volume.
void QtSpeechVoice::applySettings() {
    if (!settings_.voice.isEmpty() && engine_->voice().name() != settings_.voice) {
        const auto voices = engine_->availableVoices();
        const auto chosen = std::find_if(voices.begin(), voices.end(), [&](const QVoice& voice) {
            return voice.name() == settings_.voice;
        });
        if (chosen != voices.end())
            engine_->setVoice(*chosen);
    }
    engine_->setRate(settings_.rate);
    engine_->setPitch(settings_.pitch);
    engine_->setVolume(settings_.volume);
}

void QtSpeechVoice::speak(const QString& text) {
    text_ = text;
    heardStart_ = false;
    if (givenUp_) {
        silent_.speak(text);
        return;
    }
    speaking_ = true;
    applySettings();
    const double seconds =
        std::max(1, SilentVoice::wordCount(text)) / (EngineWordsPerSecond * std::exp2(rate_));
    deadline_.start(static_cast<int>(std::min(2000.0 * seconds + DeadlineMarginMs, 1e9)));
    engine_->say(text);
}

void QtSpeechVoice::stop() {
    deadline_.stop();
    silent_.stop();
    if (speaking_) {
        speaking_ = false;
        engine_->stop();
    }
}

int QtSpeechVoice::msPerWord() const {
    return static_cast<int>(std::lround(1000.0 / (EngineWordsPerSecond * std::exp2(rate_))));
}

void QtSpeechVoice::onStateChanged(QTextToSpeech::State state) {
    if (!speaking_)
        return;
    switch (state) {
    case QTextToSpeech::Speaking:
        if (!std::exchange(heardStart_, true))
            Q_EMIT started();
        break;
    case QTextToSpeech::Ready:
        // A Ready left over from an earlier, stopped utterance comes before our Speaking.
        if (heardStart_) {
            speaking_ = false;
            failuresInARow_ = 0;
            deadline_.stop();
            Q_EMIT finished();
        }
        break;
    case QTextToSpeech::Error:
        failed(engine_->errorString());
        break;
    case QTextToSpeech::Paused:
        break;
    }
}

// The time it could take is over: the utterance counts as done.
void QtSpeechVoice::onDeadline() {
    qCInfo(characterLog) << "speech engine reported no end in time; taking it as done:" << text_;
    countFailure();
    engine_->stop();
    if (!std::exchange(heardStart_, true))
        Q_EMIT started();
    Q_EMIT finished();
}

// The utterance goes on silently; the engine gets the next one unless it keeps failing.
void QtSpeechVoice::failed(const QString& why) {
    qCInfo(characterLog) << "speech engine failed:" << why << "- pacing silently:" << text_;
    countFailure();
    silent_.speak(text_);
}

void QtSpeechVoice::countFailure() {
    speaking_ = false;
    deadline_.stop();
    ++failures_;
    if (++failuresInARow_ >= FailuresBeforeGivingUp) {
        qCInfo(characterLog) << "speech engine given up after" << failuresInARow_ << "failures";
        givenUp_ = true;
        disconnect(engine_.get(), nullptr, this, nullptr);
    }
}

} // namespace folimar::character
