#pragma once

#include <QFile>
#include <QString>

namespace folimar::bookexport {

// A file written beside the one it replaces and put in its place only when complete, so
// that the older file stays as it was until then. Where the file system allows it, the
// new file has no name while it is written: a killed program leaves nothing behind.
// Elsewhere it is a hidden file beside the target (".NAME.XXXXXX"), held locked while it
// is written; such files left by a killed program are removed at the next write of the
// same target. Anything not committed is discarded.
class ReplacingFile {
public:
    explicit ReplacingFile(QString target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Makes the new file, empty; false when it cannot be made (errorString() says why).
    bool open();
    // The new file, open for writing.
    QFile& device() { return file_; }
    // Writes out what is buffered, makes it durable and puts the file in place of the
    // target, with the older file's permissions (read-write for the user, readable for
    // others, for a new one). False when any of that fails: the target is then untouched.
    bool commit();
    QString errorString() const { return error_; }

private:
    bool fail(const QString& what);
    void discard();

    QString target_;
    QString hiddenPath_; // the named file, when the file system gave no unnamed one
    int fd_ = -1;
    QFile file_;
    QString error_;
};

} // namespace folimar::bookexport
