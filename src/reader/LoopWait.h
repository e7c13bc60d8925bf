#pragma once

#include <coroutine>
#include <functional>

namespace folimar::reader {

class PlayLoopDriver;

// What the play loop co_awaits: it goes on once `ready` holds. `ready` may consume what it
// waited for (clear a flag): it returns true at most once per wait. A yield suspends even
// when `ready` already holds, giving the event loop one turn.
class LoopWait {
public:
    LoopWait(PlayLoopDriver& driver, std::function<bool()> ready, bool yield)
        : driver_(driver), ready_(std::move(ready)), yield_(yield) {}

    bool await_ready() const { return !yield_ && ready_(); }
    void await_suspend(std::coroutine_handle<>);
    void await_resume() const noexcept {}

private:
    PlayLoopDriver& driver_;
    std::function<bool()> ready_;
    bool yield_;
};

} // namespace folimar::reader
