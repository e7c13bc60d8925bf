#pragma once

#include <coroutine>
#include <exception>
#include <utility>

namespace folimar::reader {

// The coroutine type of the play loop. It starts suspended and is owned by the driver,
// which resumes it and destroys it when it has finished or is retired.
class PlayLoop {
public:
    struct promise_type {
        PlayLoop get_return_object() {
            return PlayLoop(std::coroutine_handle<promise_type>::from_promise(*this));
        }
        std::suspend_always initial_suspend() noexcept { return {}; }
        std::suspend_always final_suspend() noexcept { return {}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept { std::terminate(); }
    };

    PlayLoop() = default;
    PlayLoop(PlayLoop&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    PlayLoop& operator=(PlayLoop&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    PlayLoop(const PlayLoop&) = delete;
    PlayLoop& operator=(const PlayLoop&) = delete;
    ~PlayLoop() { reset(); }

    explicit operator bool() const { return bool(handle_); }
    bool done() const { return handle_.done(); }
    void resume() { handle_.resume(); }
    // Destroys the coroutine where it is suspended; its locals go, its code never runs on.
    void reset() {
        if (handle_) {
            handle_.destroy();
            handle_ = {};
        }
    }

private:
    explicit PlayLoop(std::coroutine_handle<promise_type> handle) : handle_(handle) {}

    std::coroutine_handle<promise_type> handle_;
};

} // namespace folimar::reader
