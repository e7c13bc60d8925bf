#pragma once

#include "reader/LoopWait.h"
#include "reader/PlayLoop.h"

#include <QObject>

namespace folimar::reader {

// Runs the one play loop on Qt's event loop. The loop suspends at each wait and is resumed
// from a queued call once its condition holds: never from inside the operation that made
// the condition true, and never from a nested event loop.
// (No Q_OBJECT: moc cannot read the coroutine headers; the object is only a context for
// queued calls.)
class PlayLoopDriver final : public QObject {
public:
    using QObject::QObject;

    // Runs `loop` until its first wait, retiring the loop that was there. Not to be called
    // while a loop is executing (isExecuting()).
    void start(PlayLoop loop);
    // Ends the loop where it waits: it never runs again. A loop executing right now (one of
    // its steps called back here) is ended at its next wait.
    void retire();
    bool hasLoop() const { return bool(loop_) && !retirePending_; }
    bool isExecuting() const { return executing_; }
    // Something the loop may be waiting for changed: check its condition from a queued call.
    void poke();

    LoopWait until(std::function<bool()> ready) { return {*this, std::move(ready), false}; }
    LoopWait nextTurn() {
        return {*this, [] { return true; }, true};
    }

private:
    friend class LoopWait;
    void suspendUntil(std::function<bool()> ready, bool yield);
    void wake();
    void resumeLoop();

    PlayLoop loop_;
    std::function<bool()> resumeWhen_;
    bool wakeQueued_ = false;
    bool executing_ = false;
    bool retirePending_ = false;
};

} // namespace folimar::reader
