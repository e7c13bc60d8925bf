#pragma once

#include "bookexport/JpegSource.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace folimar::bookexport {

// Pictures read ahead, in their order, on threads of its own while the ones before them
// are written: none further than `ahead` pictures past the one taken last, so a book of
// any length holds only a few at once.
class PictureQueue final : public JpegSource {
public:
    // Reads picture `index`; none, with the reason in `why`, when it cannot be read.
    using Reader = std::function<std::optional<QByteArray>(qsizetype index, QString* why)>;
    // Each reading thread makes its reader with `makeReader`, on that thread: `readers`
    // threads (none for no pictures) take the pictures 0 to `count` - 1 in turn until done,
    // failed or `cancelled`.
    // `taken` hears of each picture handed on, on the taking thread.
    PictureQueue(qsizetype count, int readers, qsizetype ahead,
                 const std::function<Reader()>& makeReader, const std::atomic<bool>& cancelled,
                 std::function<void(qsizetype index)> taken);
    // Stops the reading, waiting for the pictures being read.
    ~PictureQueue() override;
    PictureQueue(const PictureQueue&) = delete;
    PictureQueue& operator=(const PictureQueue&) = delete;

    // Waits for picture `index`, which must be the next one in order.
    std::optional<QByteArray> take(qsizetype index) override;
    // Why a picture could not be given; empty when cancelled or none failed.
    QString errorString() const;

private:
    void readEvery(qsizetype first, qsizetype step, qsizetype count, const Reader& read);

    const qsizetype ahead_;
    const std::atomic<bool>& cancelled_;
    std::function<void(qsizetype)> taken_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<qsizetype, QByteArray> ready_;
    qsizetype next_ = 0;      // the next picture to be taken
    qsizetype failedAt_ = -1; // the first picture that could not be read
    int reading_ = 0;         // threads still reading
    bool stopping_ = false;
    QString error_;
    std::vector<std::thread> readers_;
};

} // namespace folimar::bookexport
