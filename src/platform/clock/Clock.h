#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

namespace folimar::platform {

// Time as the program sees it: a monotonic reading and one-shot callbacks. The real
// clock runs on Qt's timers; tests hand in a clock they advance by hand.
class Clock {
public:
    virtual ~Clock();
    virtual qint64 nowMs() const = 0;
    // Calls `callback` once after `ms`, unless `context` is destroyed first.
    virtual void singleShot(int ms, QObject* context, std::function<void()> callback) = 0;
};

class SteadyClock final : public Clock {
public:
    SteadyClock() { started_.start(); }
    qint64 nowMs() const override { return started_.elapsed(); }
    void singleShot(int ms, QObject* context, std::function<void()> callback) override;

private:
    QElapsedTimer started_;
};

} // namespace folimar::platform
