#pragma once

#include <QString>
#include <atomic>
#include <thread>

namespace folimar::testing {

// A named pipe that notices when anything opens it for reading. A reader is let go at once
// (it reads an empty pipe), so code that wrongly opens the pipe fails the test, not hangs it.
class FifoWatch {
public:
    explicit FifoWatch(QString path);
    ~FifoWatch();
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;

    const QString& path() const { return path_; }
    bool opened() const { return opened_; }

private:
    QString path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> opened_{false};
    std::thread watcher_;
};

} // namespace folimar::testing
