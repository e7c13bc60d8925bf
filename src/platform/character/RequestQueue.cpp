#include "platform/character/RequestQueue.h"

#include <QPointer>
#include <utility>

namespace folimar::character {

RequestQueue::RequestQueue(std::unique_ptr<Voice> voice, QObject* parent) : QObject(parent) {
    adoptVoice(std::move(voice));
}

RequestQueue::~RequestQueue() {
    if (voice_)
        voice_->stop();
}

RequestId RequestQueue::speak(const QString& text) {
    return enqueue({0, Request::Kind::Speak, text, {}, {}});
}

RequestId RequestQueue::wait() {
    return enqueue({0, Request::Kind::Wait, {}, {}, {}});
}

RequestId RequestQueue::perform(Step step, std::function<void()> cancelled) {
    return enqueue({0, Request::Kind::Perform, {}, std::move(step), std::move(cancelled)});
}

RequestId RequestQueue::enqueue(Request request) {
    request.id = ++lastId_;
    pending_.enqueue(std::move(request));
    advance();
    return lastId_;
}

void RequestQueue::stop() {
    // Take everything out first: a cancellation hook may queue new requests.
    QQueue<Request> cancelled;
    cancelled.swap(pending_);
    if (current_) {
        cancelled.prepend(std::move(*current_));
        current_.reset();
        ++stepGeneration_;
        if (cancelled.head().kind == Request::Kind::Speak) {
            voice_->stop();
            if (nextVoice_)
                adoptVoice(std::move(nextVoice_));
            Q_EMIT utteranceEnded(false);
        }
    }
    const bool wasAdvancing = std::exchange(advancing_, true);
    for (const Request& request : cancelled)
        cancel(request);
    advancing_ = wasAdvancing;
    advance();
}

void RequestQueue::cancel(const Request& request) {
    report(request.id);
    if (request.cancelled)
        request.cancelled();
}

void RequestQueue::setVoice(std::unique_ptr<Voice> voice) {
    if (current_ && current_->kind == Request::Kind::Speak)
        nextVoice_ = std::move(voice);
    else
        adoptVoice(std::move(voice));
}

void RequestQueue::adoptVoice(std::unique_ptr<Voice> voice) {
    if (voice_)
        voice_->stop();
    voice_ = std::move(voice);
    connect(voice_.get(), &Voice::finished, this, &RequestQueue::onVoiceFinished);
    connect(voice_.get(), &Voice::wordReached, this, &RequestQueue::onVoiceWord);
}

// Starts queued requests until one has to wait for something. The guard keeps a step that
// finishes at once from starting the next one inside itself.
void RequestQueue::advance() {
    if (advancing_)
        return;
    advancing_ = true;
    while (!current_ && !pending_.isEmpty()) {
        current_ = pending_.dequeue();
        switch (current_->kind) {
        case Request::Kind::Wait:
            finishCurrent();
            break;
        case Request::Kind::Speak:
            if (current_->text.trimmed().isEmpty()) {
                finishCurrent();
                break;
            }
            Q_EMIT utteranceStarted(current_->text);
            voice_->speak(current_->text);
            break;
        case Request::Kind::Perform: {
            const quint64 generation = ++stepGeneration_;
            QPointer<RequestQueue> self(this);
            current_->step([self, generation] {
                if (self && self->current_ && self->stepGeneration_ == generation)
                    self->finishCurrent();
            });
            break;
        }
        }
    }
    advancing_ = false;
}

void RequestQueue::finishCurrent() {
    report(current_->id);
    current_.reset();
    advance();
}

void RequestQueue::onVoiceFinished() {
    if (!current_ || current_->kind != Request::Kind::Speak)
        return;
    report(current_->id);
    current_.reset();
    if (nextVoice_)
        adoptVoice(std::move(nextVoice_));
    Q_EMIT utteranceEnded(speechFollows());
    advance();
}

// A word counts only while its utterance is the one under way: one that comes after a
// stop is dropped.
void RequestQueue::onVoiceWord(int offset, int length) {
    if (!current_ || current_->kind != Request::Kind::Speak)
        return;
    Q_EMIT wordReached(current_->id, offset, length);
}

bool RequestQueue::speechFollows() const {
    for (const Request& request : pending_) {
        if (request.kind == Request::Kind::Speak)
            return true;
        if (request.kind == Request::Kind::Perform)
            return false;
    }
    return false;
}

void RequestQueue::report(RequestId id) {
    outbox_.enqueue(id);
    if (!deliveryScheduled_) {
        deliveryScheduled_ = true;
        QMetaObject::invokeMethod(this, &RequestQueue::deliver, Qt::QueuedConnection);
    }
}

void RequestQueue::deliver() {
    deliveryScheduled_ = false;
    // Ids reported while a receiver runs wait for the next delivery, keeping the order.
    QQueue<RequestId> batch;
    batch.swap(outbox_);
    QPointer<RequestQueue> self(this);
    while (!batch.isEmpty() && self) {
        Q_EMIT requestComplete(batch.dequeue());
    }
}

} // namespace folimar::character
