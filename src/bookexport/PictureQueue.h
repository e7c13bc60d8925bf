#pragma once

#include "bookexport/JpegSource.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace folimar::bookexport {

// Pictures read in their order on a thread of its own while the ones before them are
// written: at most `bound` of them wait, so a book of any length holds only a few at once.
class PictureQueue final : public JpegSource {
public:
    // Reads picture `index` on the queue's thread; none, with the reason in `why`, when it
    // cannot be read.
    using Reader = std::function<std::optional<QByteArray>(qsizetype index, QString* why)>;
    // Reads pictures 0 to `count` - 1 with `read` until done, failed or `cancelled`;
    // `taken` hears of each picture handed on, on the taking thread.
    PictureQueue(qsizetype count, qsizetype bound, Reader read, const std::atomic<bool>& cancelled,
                 std::function<void(qsizetype index)> taken);
    // Stops the reading, waiting for the picture being read.
    ~PictureQueue() override;
    PictureQueue(const PictureQueue&) = delete;
    PictureQueue& operator=(const PictureQueue&) = delete;

    // Waits for picture `index`, which must be the next one in order.
    std::optional<QByteArray> take(qsizetype index) override;
    // Why the last picture asked for could not be given; empty when cancelled or none failed.
    QString errorString() const;

private:
    void readAll(qsizetype count, const Reader& read);

    const qsizetype bound_;
    const std::atomic<bool>& cancelled_;
    std::function<void(qsizetype)> taken_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QByteArray> ready_;
    qsizetype next_ = 0;  // the index of the first picture in ready_
    bool ended_ = false;  // the reading has stopped
    bool stopping_ = false;
    QString error_;
    std::thread reading_;
};

} // namespace folimar::bookexport
