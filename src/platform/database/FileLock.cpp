#include "platform/database/FileLock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace folimar::database {

namespace {

bool sameFile(int fd, const QByteArray& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

std::unique_ptr<FileLock> FileLock::acquire(const QString& path, Outcome* outcome) {
    const QByteArray name = QFile::encodeName(path);
    // A few tries: each lost race means another program has just put a new file in place.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            *outcome = Outcome::Unavailable;
            return nullptr;
        }
        int rc;
        do
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const bool held = errno == EWOULDBLOCK;
            ::close(fd);
            *outcome = held ? Outcome::HeldElsewhere : Outcome::Unavailable;
            return nullptr;
        }
        if (sameFile(fd, name)) {
            *outcome = Outcome::Locked;
            return std::unique_ptr<FileLock>(new FileLock(fd, path));
        }
        ::close(fd);
    }
    *outcome = Outcome::HeldElsewhere;
    return nullptr;
}

FileLock::~FileLock() {
    ::close(fd_);
}

} // namespace folimar::database
