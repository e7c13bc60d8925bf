#include "bookwindow/PictureDrawing.h"

#include "platform/clock/Clock.h"

#include <QtConcurrent/QtConcurrentRun>

namespace folimar::bookwindow {

PictureDrawing::PictureDrawing(platform::Clock& clock, Options options, QObject* parent)
    : QObject(parent), clock_(clock), options_(std::move(options)) {
    if (!options_.draw)
        options_.draw = [](const PagePicture& picture, QSize size) { return picture.render(size); };
}

PictureDrawing::~PictureDrawing() = default;

void PictureDrawing::start(const PagePicture& picture, QSize size, QFuture<QImage> ahead) {
    cancel();
    const quint64 serial = serial_;
    if (!ahead.isValid())
        ahead = QtConcurrent::run(options_.draw, picture, size); // the worker draws a copy
    watcher_ = new QFutureWatcher<QImage>(this);
    connect(watcher_, &QFutureWatcherBase::finished, this, [this, serial] { finish(serial); });
    watcher_->setFuture(std::move(ahead));
    clock_.singleShot(options_.boundMs, this, [this, serial] { giveUp(serial); });
}

// A drawing under way is left to end on its own on its worker; only its answer is dropped.
void PictureDrawing::cancel() {
    ++serial_;
    if (watcher_)
        watcher_->deleteLater(); // it may be the one whose signal is being handled
    watcher_ = nullptr;
}

void PictureDrawing::finish(quint64 serial) {
    if (serial != serial_ || !watcher_)
        return;
    const QImage image = watcher_->result();
    cancel();
    if (image.isNull())
        Q_EMIT failed(QStringLiteral("it is damaged or too large to decode"));
    else
        Q_EMIT drawn(image);
}

void PictureDrawing::giveUp(quint64 serial) {
    if (serial != serial_ || !watcher_)
        return;
    cancel();
    Q_EMIT failed(QStringLiteral("decoding it took longer than %1 seconds")
                      .arg(options_.boundMs / 1000.0, 0, 'g', 2));
}

} // namespace folimar::bookwindow
