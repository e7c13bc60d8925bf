#pragma once

#include "platform/character/MarkedSpeech.h"
#include "platform/character/SilentVoice.h"
#include "platform/character/Voice.h"
#include "platform/character/VoiceSettings.h"

#include <QStringList>
#include <cstddef>
#include <memory>

namespace folimar::character {

// The desktop's speech service (speech-dispatcher) through its own client library: the
// user's output module and voice, unless a voice is chosen here, at our rate, pitch and
// volume. The service tells when a text begins and ends, and (with modules that can) when
// it reaches the mark put before each word; those notices come on the library's thread
// and are handed over to this voice's own. A text the service refuses is
// said again on a new connection, one it cancels (for another program) is said again;
// only if that fails too is it paced silently.
class SpeechDispatcherVoice final : public Voice {
    Q_OBJECT
public:
    // Opens a connection of its own, starting the service when it is installed but not
    // running.
    explicit SpeechDispatcherVoice(const VoiceSettings& settings, QObject* parent = nullptr);
    ~SpeechDispatcherVoice() override;
    SpeechDispatcherVoice(const SpeechDispatcherVoice&) = delete;
    SpeechDispatcherVoice& operator=(const SpeechDispatcherVoice&) = delete;

    // False (with the reason) when the service did not answer.
    bool answers() const { return connection_ != nullptr; }
    QString why() const { return why_; }
    // Whether a text said reaches its end within `timeoutMs`: false when the service has no
    // sound device to play it on. Waits without running the event loop.
    bool soundsOut(int timeoutMs);
    // The synthesis voices of the user's output module.
    QStringList voices() const;

    void speak(const QString& text) override;
    void stop() override;
    int msPerWord() const override;

    // What the library's threads report, by its numbers; public for its callbacks only.
    enum class Notice { Began, Ended, Cancelled, Mark };
    static void post(std::size_t client, std::size_t message, Notice notice,
                     const QByteArray& mark = {});

private:
    void onNotice(std::size_t message, Notice notice, const QByteArray& mark);
    bool connect();
    void disconnect();
    bool say();

    struct Connection;

    const VoiceSettings settings_;
    SilentVoice silent_;
    std::unique_ptr<Connection> connection_;
    QString why_;
    QString text_;
    MarkedSpeech marked_;     // text_ as it is sent
    std::size_t message_ = 0; // the text being said; 0: none
    bool begun_ = false;
    bool retried_ = false;
};

} // namespace folimar::character
