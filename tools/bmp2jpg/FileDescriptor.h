#pragma once

namespace folimar::bmp2jpg {

// Owns a POSIX file descriptor and closes it once.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a late write error shows up here).
    bool close();

private:
    int fd_;
};

} // namespace folimar::bmp2jpg
