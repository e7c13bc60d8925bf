#include "bookexport/PictureQueue.h"

namespace folimar::bookexport {

PictureQueue::PictureQueue(qsizetype count, qsizetype bound, Reader read,
                           const std::atomic<bool>& cancelled,
                           std::function<void(qsizetype index)> taken)
    : bound_(std::max<qsizetype>(bound, 1)), cancelled_(cancelled), taken_(std::move(taken)),
      reading_([this, count, read = std::move(read)] { readAll(count, read); }) {}

PictureQueue::~PictureQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    reading_.join();
}

void PictureQueue::readAll(qsizetype count, const Reader& read) {
    for (qsizetype index = 0; index < count; ++index) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || qsizetype(ready_.size()) < bound_; });
            if (stopping_)
                break;
        }
        if (cancelled_.load())
            break;
        QString why;
        std::optional<QByteArray> bytes = read(index, &why);
        const std::lock_guard lock(mutex_);
        if (!bytes) {
            error_ = why;
            break;
        }
        ready_.push_back(std::move(*bytes));
        changed_.notify_all();
    }
    const std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

std::optional<QByteArray> PictureQueue::take(qsizetype index) {
    std::unique_lock lock(mutex_);
    if (index != next_ || cancelled_.load()) {
        if (index != next_ && error_.isEmpty())
            error_ = QStringLiteral("The pictures were asked for out of their order.");
        return std::nullopt;
    }
    changed_.wait(lock, [&] { return !ready_.empty() || ended_; });
    if (ready_.empty())
        return std::nullopt;
    QByteArray bytes = std::move(ready_.front());
    ready_.pop_front();
    ++next_;
    lock.unlock();
    changed_.notify_all();
    if (taken_)
        taken_(index);
    return bytes;
}

QString PictureQueue::errorString() const {
    const std::lock_guard lock(mutex_);
    return error_;
}

} // namespace folimar::bookexport
