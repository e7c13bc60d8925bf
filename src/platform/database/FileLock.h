#pragma once

#include <QString>
#include <memory>

namespace folimar::database {

// An exclusive advisory lock on a file, held by this program until the object goes: the
// mark that one program owns a book. It lies on the file itself (not on its name), and is
// taken only when the name still leads to the locked file, so a file renamed over the
// old one while the lock was taken is locked afresh. The engine's own record locks are
// of another kind and do not meet it, but closing any descriptor of a file drops every
// record lock this process holds on it: take the lock before the engine opens the book
// and let it go only after the engine has closed it.
class FileLock {
public:
    enum class Outcome {
        Locked,        // this program holds the file now
        HeldElsewhere, // another program holds it
        Unavailable,   // the file cannot be opened to be locked (missing, unreadable)
    };

    // Takes the lock without waiting; null unless `outcome` is Locked.
    static std::unique_ptr<FileLock> acquire(const QString& path, Outcome* outcome);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    const QString& path() const { return path_; }

private:
    FileLock(int fd, QString path) : fd_(fd), path_(std::move(path)) {}

    int fd_;
    QString path_;
};

} // namespace folimar::database
