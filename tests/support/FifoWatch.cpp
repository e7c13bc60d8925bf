#include "support/FifoWatch.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace folimar::testing {

FifoWatch::FifoWatch(QString path) : path_(std::move(path)) {
    const QByteArray name = QFile::encodeName(path_);
    if (::mkfifo(name.constData(), 0600) != 0)
        qFatal("could not make the pipe %s", name.constData());
    watcher_ = std::thread([this, name] {
        while (!stop_) {
            // Opening the writing end without blocking succeeds only while a reader has it.
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                opened_ = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
}

FifoWatch::~FifoWatch() {
    stop_ = true;
    watcher_.join();
    QFile::remove(path_);
}

} // namespace folimar::testing
