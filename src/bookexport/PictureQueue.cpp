#include "bookexport/PictureQueue.h"

namespace folimar::bookexport {

PictureQueue::PictureQueue(qsizetype count, int readers, qsizetype ahead,
                           const std::function<Reader()>& makeReader,
                           const std::atomic<bool>& cancelled,
                           std::function<void(qsizetype index)> taken)
    : ahead_(std::max<qsizetype>(ahead, readers)), cancelled_(cancelled),
      taken_(std::move(taken)), reading_(std::max(readers, 0)) {
    const int threads = reading_;
    for (int first = 0; first < threads; ++first)
        readers_.emplace_back([this, first, threads, count, makeReader] {
            readEvery(first, threads, count, makeReader());
        });
}

PictureQueue::~PictureQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& reader : readers_)
        reader.join();
}

void PictureQueue::readEvery(qsizetype first, qsizetype step, qsizetype count,
                             const Reader& read) {
    for (qsizetype index = first; index < count; index += step) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || index < next_ + ahead_; });
            if (stopping_ || failedAt_ >= 0)
                break;
        }
        if (cancelled_.load())
            break;
        QString why;
        std::optional<QByteArray> bytes = read(index, &why);
        const std::lock_guard lock(mutex_);
        if (!bytes) {
            if (failedAt_ < 0 || index < failedAt_) {
                failedAt_ = index;
                error_ = why;
            }
            break;
        }
        ready_.emplace(index, std::move(*bytes));
        changed_.notify_all();
    }
    const std::lock_guard lock(mutex_);
    --reading_;
    changed_.notify_all();
}

std::optional<QByteArray> PictureQueue::take(qsizetype index) {
    std::unique_lock lock(mutex_);
    if (index != next_ || cancelled_.load()) {
        if (index != next_ && error_.isEmpty())
            error_ = QStringLiteral("The pictures were asked for out of their order.");
        return std::nullopt;
    }
    changed_.wait(lock, [&] {
        return ready_.count(index) > 0 || (failedAt_ >= 0 && failedAt_ <= index) || reading_ == 0;
    });
    const auto found = ready_.find(index);
    if (found == ready_.end())
        return std::nullopt;
    QByteArray bytes = std::move(found->second);
    ready_.erase(found);
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
