#include "platform/database/SyncedFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace folimar::database {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, so that a failing close (a full disk reported late) is seen.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

Status systemFailure(const QString& what, const QString& path) {
    return Status::failure(errors::FileError, QStringLiteral("%1 %2: %3")
                                                  .arg(what, path, QString::fromLocal8Bit(
                                                                       std::strerror(errno))));
}

QByteArray encoded(const QString& path) { return QFile::encodeName(path); }

Status copyBytes(int from, int to, const QString& target) {
    // The kernel copies without passing the bytes through us where it can.
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0)
            return {};
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
            break;
        return systemFailure(QStringLiteral("cannot copy to"), target);
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0)
            return {};
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return systemFailure(QStringLiteral("cannot read for"), target);
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, size_t(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return systemFailure(QStringLiteral("cannot write"), target);
            done += put;
        }
    }
}

} // namespace

Status syncPath(const QString& path) {
    FileDescriptor fd(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return systemFailure(QStringLiteral("cannot open"), path);
    if (::fsync(fd.get()) != 0)
        return systemFailure(QStringLiteral("cannot flush"), path);
    return {};
}

namespace {

Status copyFile(const QString& source, const QString& target, bool flush) {
    FileDescriptor from(::open(encoded(source).constData(), O_RDONLY | O_CLOEXEC));
    if (from.get() < 0)
        return systemFailure(QStringLiteral("cannot open"), source);
    struct stat info {};
    if (::fstat(from.get(), &info) != 0)
        return systemFailure(QStringLiteral("cannot read"), source);
    FileDescriptor to(::open(encoded(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                             info.st_mode & 07777));
    if (to.get() < 0)
        return systemFailure(QStringLiteral("cannot create"), target);
    Status status = copyBytes(from.get(), to.get(), target);
    if (status && flush && ::fsync(to.get()) != 0)
        status = systemFailure(QStringLiteral("cannot flush"), target);
    if (!to.close() && status)
        status = systemFailure(QStringLiteral("cannot close"), target);
    if (!status)
        QFile::remove(target);
    return status;
}

} // namespace

Status copySynced(const QString& source, const QString& target) {
    return copyFile(source, target, true);
}

Status copyUnsynced(const QString& source, const QString& target) {
    return copyFile(source, target, false);
}

Status replaceFile(const QString& finished, const QString& destination) {
    const QFileInfo place(destination);
    const QString folder = place.absolutePath();
    struct stat finishedInfo {};
    struct stat folderInfo {};
    if (::stat(encoded(finished).constData(), &finishedInfo) != 0)
        return systemFailure(QStringLiteral("cannot find"), finished);
    if (::stat(encoded(folder).constData(), &folderInfo) != 0)
        return systemFailure(QStringLiteral("cannot find"), folder);
    QString from = finished;
    if (finishedInfo.st_dev != folderInfo.st_dev) {
        from = folder + QStringLiteral("/.") + place.fileName() +
               QStringLiteral(".compacted");
        QFile::remove(from);
        const Status copied = copySynced(finished, from);
        QFile::remove(finished);
        if (!copied)
            return copied;
    }
    if (::rename(encoded(from).constData(), encoded(destination).constData()) != 0) {
        Status failed = systemFailure(QStringLiteral("cannot rename to"), destination);
        QFile::remove(from);
        return failed;
    }
    // The rename itself must reach the disk too.
    return syncPath(folder);
}

} // namespace folimar::database
