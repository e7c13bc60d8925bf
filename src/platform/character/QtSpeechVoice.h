#pragma once

#include "platform/character/SilentVoice.h"
#include "platform/character/Voice.h"
#include "platform/character/VoiceSettings.h"

#include <QTextToSpeech>
#include <QTimer>
#include <memory>

namespace folimar::character {

// A voice over Qt's speech engines. An utterance the engine fails is paced by a silent
// voice instead, so it still ends; an engine that fails to start, or fails several
// utterances in a row, is given up for the silent voice. An utterance that never reports
// its end (an engine with no audio device) is taken as done after a deadline from its length.
class QtSpeechVoice final : public Voice {
    Q_OBJECT
public:
    static constexpr int FailuresBeforeGivingUp = 3;

    // `engine` is shared with the other voices of the same engine: some engines cannot run
    // two instances side by side.
    QtSpeechVoice(std::shared_ptr<QTextToSpeech> engine, const VoiceSettings& settings,
                  QObject* parent = nullptr);

    void speak(const QString& text) override;
    void stop() override;
    int msPerWord() const override;

    // False once the engine is given up and only the silent voice speaks.
    bool isAudible() const { return !givenUp_; }
    // Utterances the engine failed (or did not finish in time) since this voice was made.
    int failures() const { return failures_; }

private:
    void onStateChanged(QTextToSpeech::State state);
    void onDeadline();
    void failed(const QString& why);
    void countFailure();
    void applySettings();

    std::shared_ptr<QTextToSpeech> engine_;
    VoiceSettings settings_;
    SilentVoice silent_;
    double rate_;
    QString text_;
    bool speaking_ = false;   // the engine has an utterance under way
    bool heardStart_ = false; // `started` was emitted for the current utterance
    bool givenUp_ = false;
    int failuresInARow_ = 0;
    int failures_ = 0;
    QTimer deadline_;
};

} // namespace folimar::character
