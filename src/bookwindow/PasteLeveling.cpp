#include "bookwindow/PasteLeveling.h"

#include "recognition/PagePreparation.h"

#include <QtConcurrent/QtConcurrentRun>

namespace folimar::bookwindow {

PasteLeveling::PasteLeveling(QObject* parent) : QObject(parent) {}

PasteLeveling::~PasteLeveling() = default;

void PasteLeveling::start(const QImage& picture) {
    cancel();
    const quint64 serial = serial_;
    watcher_ = new QFutureWatcher<QImage>(this);
    connect(watcher_, &QFutureWatcherBase::finished, this, [this, serial] { finish(serial); });
    // The worker holds its own share of the picture: dropping the request frees nothing it uses.
    watcher_->setFuture(QtConcurrent::run(recognition::levelPicture, picture));
}

void PasteLeveling::cancel() {
    ++serial_;
    if (watcher_)
        watcher_->deleteLater(); // it may be the one whose signal is being handled
    watcher_ = nullptr;
}

void PasteLeveling::finish(quint64 serial) {
    if (serial != serial_ || !watcher_)
        return;
    const QImage level = watcher_->result();
    cancel();
    Q_EMIT levelled(level);
}

} // namespace folimar::bookwindow
