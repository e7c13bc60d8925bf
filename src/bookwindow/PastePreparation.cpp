#include "bookwindow/PastePreparation.h"

#include "recognition/PagePreparation.h"

#include <QtConcurrent/QtConcurrentRun>

namespace folimar::bookwindow {

namespace {

PreparedPaste prepare(const pictures::ClipboardOffer& offer, bool level) {
    const pictures::PictureRead read = pictures::offeredPicture(offer);
    if (read.image.isNull())
        return {{}, read.refusal, false};
    QImage picture = level ? recognition::levelPicture(read.image) : read.image;
    const bool turned = picture.cacheKey() != read.image.cacheKey();
    return {std::move(picture), {}, turned};
}

} // namespace

PastePreparation::PastePreparation(QObject* parent) : QObject(parent) {}

PastePreparation::~PastePreparation() = default;

void PastePreparation::start(const pictures::ClipboardOffer& offer, bool level) {
    cancel();
    const quint64 serial = serial_;
    watcher_ = new QFutureWatcher<PreparedPaste>(this);
    connect(watcher_, &QFutureWatcherBase::finished, this, [this, serial] { finish(serial); });
    // The worker holds its own share of the picture: dropping the request frees nothing it uses.
    watcher_->setFuture(QtConcurrent::run(prepare, offer, level));
}

void PastePreparation::cancel() {
    ++serial_;
    if (watcher_)
        watcher_->deleteLater(); // it may be the one whose signal is being handled
    watcher_ = nullptr;
}

void PastePreparation::finish(quint64 serial) {
    if (serial != serial_ || !watcher_)
        return;
    const PreparedPaste paste = watcher_->result();
    cancel();
    Q_EMIT prepared(paste);
}

} // namespace folimar::bookwindow
