#pragma once

#include "platform/clock/Clock.h"

#include <QList>
#include <QPointer>

namespace folimar::testing {

// A clock that moves only when the test advances it; due callbacks run inside advance().
class ManualClock final : public platform::Clock {
public:
    qint64 nowMs() const override { return now_; }
    void singleShot(int ms, QObject* context, std::function<void()> callback) override;

    void advance(qint64 ms);

private:
    struct Pending {
        qint64 due;
        QPointer<QObject> context;
        bool hasContext;
        std::function<void()> callback;
    };
    qint64 now_ = 0;
    QList<Pending> pending_;
};

} // namespace folimar::testing
