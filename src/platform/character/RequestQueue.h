#pragma once

#include "platform/character/Character.h"
#include "platform/character/Voice.h"

#include <QObject>
#include <QQueue>
#include <functional>
#include <memory>
#include <optional>

namespace folimar::character {

// A character's requests, carried out one after another. Every request reports its
// completion exactly once, in the order the requests were made, also when stop() cancels
// it; completions are delivered from the event loop, never inside the call that caused them.
class RequestQueue final : public QObject {
    Q_OBJECT
public:
    // A step that calls `done` when it has finished. When stop() cancels it, before or
    // while it runs, `cancelled` is called instead and a late `done` is ignored.
    using Step = std::function<void(std::function<void()> done)>;

    explicit RequestQueue(std::unique_ptr<Voice> voice, QObject* parent = nullptr);
    ~RequestQueue() override;

    RequestId speak(const QString& text);
    // Completes once everything queued before it has.
    RequestId wait();
    RequestId perform(Step step, std::function<void()> cancelled = {});
    void stop();

    // Takes effect once the utterance under way, if any, has ended.
    void setVoice(std::unique_ptr<Voice> voice);
    Voice& voice() const { return *voice_; }
    bool isBusy() const { return current_.has_value(); }

Q_SIGNALS:
    void requestComplete(folimar::character::RequestId request);
    void utteranceStarted(const QString& text);
    // The voice is at a word of the speech request `speech` (offset and length in its text).
    void wordReached(folimar::character::RequestId speech, int offset, int length);
    // The utterance ended or was cancelled; `more` tells whether speech follows at once.
    void utteranceEnded(bool more);

private:
    struct Request {
        RequestId id = 0;
        enum class Kind { Speak, Wait, Perform } kind = Kind::Wait;
        QString text;
        Step step;
        std::function<void()> cancelled;
    };

    RequestId enqueue(Request request);
    void advance();
    void finishCurrent();
    void cancel(const Request& request);
    void onVoiceFinished();
    void onVoiceWord(int offset, int length);
    void report(RequestId id);
    void deliver();
    void adoptVoice(std::unique_ptr<Voice> voice);
    bool speechFollows() const;

    std::unique_ptr<Voice> voice_;
    std::unique_ptr<Voice> nextVoice_;
    QQueue<Request> pending_;
    std::optional<Request> current_;
    quint64 stepGeneration_ = 0; // a step's `done` counts only for the generation it began in
    QQueue<RequestId> outbox_;
    bool deliveryScheduled_ = false;
    bool advancing_ = false;
    RequestId lastId_ = 0;
};

} // namespace folimar::character
