#include "bookexport/BookExportJob.h"

#include <QMetaObject>
#include <cmath>

namespace folimar::bookexport {

BookExportJob::BookExportJob(QObject* parent) : QObject(parent) {}

BookExportJob::~BookExportJob() {
    cancel();
    joinThread();
}

void BookExportJob::joinThread() {
    if (thread_.joinable())
        thread_.join();
}

bool BookExportJob::start(BookExportWork work) {
    if (running_)
        return false;
    joinThread(); // the last export's thread has ended: its outcome was delivered
    running_ = true;
    cancelled_ = false;
    reported_ = -1;
    thread_ = std::thread([this, work = std::move(work)] {
        const BookExportOutcome outcome = work(
            [this](double share, int topicsDone) {
                const int permille = int(std::lround(std::clamp(share, 0.0, 1.0) * 1000));
                // Only changes are sent, so a long book does not flood the windows.
                if (reported_.exchange(topicsDone * 1001 + permille) !=
                    topicsDone * 1001 + permille)
                    QMetaObject::invokeMethod(
                        this,
                        [this, permille, topicsDone] { Q_EMIT progressed(permille, topicsDone); },
                        Qt::QueuedConnection);
            },
            cancelled_);
        // Delivered on the owner's thread; dropped if the job is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, outcome] {
                running_ = false;
                Q_EMIT finished(outcome);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void BookExportJob::cancel() {
    cancelled_ = true;
}

} // namespace folimar::bookexport
