#include "AtomicOutputFile.h"

#include "ConversionError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace folimar::bmp2jpg {

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw ConversionError(what + ": " + std::strerror(errno));
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// mkstemp() creates files readable by the owner only; the JPEG gets the usual mode instead.
mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

AtomicOutputFile::AtomicOutputFile(std::string targetPath)
    : targetPath_(std::move(targetPath)), tempPath_(folderOf(targetPath_) + ".bmp2jpg-XXXXXX"),
      fd_(::mkostemp(tempPath_.data(), O_CLOEXEC)) {
    if (!fd_.valid()) {
        tempPath_.clear();
        fail("cannot create a file beside " + targetPath_);
    }
    if (::fchmod(fd_.get(), defaultFileMode()) != 0)
        fail("cannot set the mode of " + tempPath_);
}

AtomicOutputFile::~AtomicOutputFile() {
    if (!committed_ && !tempPath_.empty()) {
        fd_.close();
        ::unlink(tempPath_.c_str());
    }
}

void AtomicOutputFile::write(const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_.get(), data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            fail("cannot write " + targetPath_);
        data += written;
        size -= std::size_t(written);
    }
}

void AtomicOutputFile::commit() {
    if (::fsync(fd_.get()) != 0)
        fail("cannot flush " + targetPath_);
    if (!fd_.close())
        fail("cannot write " + targetPath_);
    if (::rename(tempPath_.c_str(), targetPath_.c_str()) != 0)
        fail("cannot replace " + targetPath_);
    committed_ = true;
}

} // namespace folimar::bmp2jpg
