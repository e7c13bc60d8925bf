#include "reader/PlayLoopDriver.h"

namespace folimar::reader {

void LoopWait::await_suspend(std::coroutine_handle<>) {
    driver_.suspendUntil(std::move(ready_), yield_);
}

void PlayLoopDriver::start(PlayLoop loop) {
    Q_ASSERT(!executing_);
    retire();
    loop_ = std::move(loop);
    resumeLoop();
}

void PlayLoopDriver::retire() {
    if (executing_) {
        retirePending_ = true;
        return;
    }
    resumeWhen_ = nullptr;
    loop_.reset();
}

void PlayLoopDriver::poke() {
    if (wakeQueued_ || !loop_)
        return;
    wakeQueued_ = true;
    QMetaObject::invokeMethod(this, &PlayLoopDriver::wake, Qt::QueuedConnection);
}

void PlayLoopDriver::suspendUntil(std::function<bool()> ready, bool yield) {
    resumeWhen_ = std::move(ready);
    if (yield)
        poke();
}

void PlayLoopDriver::wake() {
    wakeQueued_ = false;
    if (!loop_ || executing_ || !resumeWhen_ || !resumeWhen_())
        return;
    resumeWhen_ = nullptr;
    resumeLoop();
}

void PlayLoopDriver::resumeLoop() {
    executing_ = true;
    loop_.resume();
    executing_ = false;
    if (loop_.done() || retirePending_) {
        retirePending_ = false;
        resumeWhen_ = nullptr;
        loop_.reset();
    }
}

} // namespace folimar::reader
