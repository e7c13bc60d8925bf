#include "bookexport/ReplacingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace folimar::bookexport {

namespace {

constexpr mode_t NewFileMode = 0644;
constexpr int HiddenTries = 100;
constexpr int SuffixLength = 6; // as mkstemp makes them

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString hiddenPrefix(const QFileInfo& target) {
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.');
}

// Whether `name` is a hidden file of ours for `prefix`: the prefix and six letters or digits.
bool isHiddenName(const QString& name, const QString& prefix) {
    if (name.size() != prefix.size() + SuffixLength || !name.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i)
        if (!name[i].isLetterOrNumber() || name[i].unicode() > 0x7f)
            return false;
    return true;
}

// Removes the hidden files left beside `target` by writers that were killed: those that
// no running writer holds locked.
void removeLeftovers(const QFileInfo& target) {
    const QString prefix = QLatin1Char('.') + target.fileName() + QLatin1Char('.');
    const QDir folder(target.absolutePath());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!isHiddenName(name, prefix))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat opened {};
        struct stat named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
            ::lstat(path.constData(), &named) == 0 && opened.st_ino == named.st_ino &&
            opened.st_dev == named.st_dev)
            ::unlink(path.constData());
        ::close(fd);
    }
}

// A hidden name beside the target that nothing has yet.
QByteArray freshHiddenPath(const QFileInfo& target) {
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString path = hiddenPrefix(target);
    for (int i = 0; i < SuffixLength; ++i)
        path += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))]);
    return QFile::encodeName(path);
}

QByteArray procPath(int fd) {
    return QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(fd);
}

} // namespace

ReplacingFile::ReplacingFile(QString target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::fail(const QString& what) {
    error_ = what;
    return false;
}

void ReplacingFile::discard() {
    file_.close();
    if (!hiddenPath_.isEmpty())
        ::unlink(QFile::encodeName(hiddenPath_).constData());
    hiddenPath_.clear();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool ReplacingFile::open() {
    discard();
    const QFileInfo target(target_);
    removeLeftovers(target);
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    // Unnamed where the file system allows it and the name to link it by is there.
    if (::access("/proc/self/fd", X_OK) == 0)
        fd_ = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, S_IRUSR | S_IWUSR);
    for (int tries = 0; fd_ < 0 && tries < HiddenTries; ++tries) {
        QByteArray name = QFile::encodeName(hiddenPrefix(target)) + "XXXXXX";
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return fail(systemError());
        // Locked, so that another writer's clearing up leaves it; gone already when
        // another writer took it for a leftover before it was locked.
        struct stat opened {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &opened) == 0 && opened.st_nlink > 0) {
            fd_ = fd;
            hiddenPath_ = QFile::decodeName(name);
        } else {
            ::close(fd);
        }
    }
    if (fd_ < 0)
        return fail(QStringLiteral("no hidden file could be made beside it"));
    if (hiddenPath_.isEmpty())
        ::flock(fd_, LOCK_EX); // a link it gets on the way to its place is no leftover
    if (!file_.open(fd_, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return fail(file_.errorString());
    return true;
}

bool ReplacingFile::commit() {
    if (fd_ < 0)
        return fail(QStringLiteral("the file is not open"));
    if (!file_.flush())
        return fail(file_.errorString());
    const QFileInfo target(target_);
    const QByteArray targetPath = QFile::encodeName(target.absoluteFilePath());
    struct stat older {};
    const mode_t mode =
        ::stat(targetPath.constData(), &older) == 0 ? (older.st_mode & 07777) : NewFileMode;
    if (::fchmod(fd_, mode) != 0 || ::fsync(fd_) != 0)
        return fail(systemError());
    if (hiddenPath_.isEmpty()) {
        const QByteArray self = procPath(fd_);
        // With no older file the new one takes the name at once; else a second, hidden
        // name replaces the older file.
        const bool placed = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, targetPath.constData(),
                                     AT_SYMLINK_FOLLOW) == 0;
        if (!placed && errno != EEXIST)
            return fail(systemError());
        for (int tries = 0; !placed && hiddenPath_.isEmpty() && tries < HiddenTries; ++tries) {
            const QByteArray hidden = freshHiddenPath(target);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, hidden.constData(),
                         AT_SYMLINK_FOLLOW) == 0)
                hiddenPath_ = QFile::decodeName(hidden);
            else if (errno != EEXIST)
                return fail(systemError());
        }
        if (!placed && hiddenPath_.isEmpty())
            return fail(QStringLiteral("no hidden file could be made beside it"));
    }
    if (!hiddenPath_.isEmpty() &&
        ::rename(QFile::encodeName(hiddenPath_).constData(), targetPath.constData()) != 0)
        return fail(systemError());
    hiddenPath_.clear(); // it is the target now
    // The folder's entry made durable too.
    if (const int folder = ::open(QFile::encodeName(target.absolutePath()).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    discard();
    return true;
}

} // namespace folimar::bookexport
