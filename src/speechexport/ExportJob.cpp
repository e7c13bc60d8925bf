#include "speechexport/ExportJob.h"

#include <QMetaObject>
#include <algorithm>
#include <cmath>

namespace folimar::speechexport {

ExportJob::~ExportJob() {
    cancel();
    joinThread();
}

void ExportJob::joinThread() {
    if (thread_.joinable())
        thread_.join();
}

bool ExportJob::launch(
    std::function<std::function<void()>(const std::atomic<bool>& cancelled)> work) {
    if (running_)
        return false;
    joinThread(); // the last export's thread has ended: its outcome was delivered
    running_ = true;
    cancelled_ = false;
    reported_ = -1;
    thread_ = std::thread([this, work = std::move(work)] {
        std::function<void()> tellOutcome = work(cancelled_);
        // Delivered on the owner's thread; dropped if the job is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, tellOutcome = std::move(tellOutcome)] {
                running_ = false;
                tellOutcome();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void ExportJob::report(double share, int count, std::function<void(int permille)> tell) {
    const int permille = int(std::lround(std::clamp(share, 0.0, 1.0) * 1000));
    const int packed = count * 1001 + permille;
    if (reported_.exchange(packed) != packed)
        QMetaObject::invokeMethod(
            this, [tell = std::move(tell), permille] { tell(permille); }, Qt::QueuedConnection);
}

} // namespace folimar::speechexport
