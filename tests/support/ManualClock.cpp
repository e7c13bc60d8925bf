#include "support/ManualClock.h"

#include <algorithm>

namespace folimar::testing {

void ManualClock::singleShot(int ms, QObject* context, std::function<void()> callback) {
    pending_.append({now_ + ms, context, context != nullptr, std::move(callback)});
}

void ManualClock::advance(qint64 ms) {
    const qint64 target = now_ + ms;
    for (;;) {
        auto next =
            std::min_element(pending_.begin(), pending_.end(),
                             [](const Pending& a, const Pending& b) { return a.due < b.due; });
        if (next == pending_.end() || next->due > target)
            break;
        Pending due = std::move(*next);
        pending_.erase(next);
        now_ = due.due;
        if (due.context || !due.hasContext)
            due.callback();
    }
    now_ = target;
}

} // namespace folimar::testing
