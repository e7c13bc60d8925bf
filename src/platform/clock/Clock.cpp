#include "platform/clock/Clock.h"

#include <QTimer>

namespace folimar::platform {

Clock::~Clock() = default;

void SteadyClock::singleShot(int ms, QObject* context, std::function<void()> callback) {
    QTimer::singleShot(ms, context, std::move(callback));
}

} // namespace folimar::platform
