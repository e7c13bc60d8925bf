#include "store/WriteProbe.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace folimar::store {

namespace {

// The owner's write bit, and whether this user may write at all (another account's file).
bool mayWrite(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || ((info.permissions() & QFileDevice::WriteOwner) &&
                              ::access(QFile::encodeName(path).constData(), W_OK) == 0);
}

bool folderTakesNewFile(const QString& folder) {
    const QString probe = folder + QStringLiteral("/tmp.tmp");
    const int fd = ::open(QFile::encodeName(probe).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
        const bool closed = ::close(fd) == 0;
        QFile::remove(probe);
        return closed;
    }
    if (errno != EEXIST)
        return false;
    QTemporaryFile other(folder + QStringLiteral("/tmp.XXXXXX"));
    return other.open();
}

} // namespace

bool passesWriteProbe(const QString& filePath) {
    const QString folder = QFileInfo(filePath).absolutePath();
    return mayWrite(folder) && mayWrite(filePath) && folderTakesNewFile(folder);
}

} // namespace folimar::store
