#include "InputFile.h"

#include "ConversionError.h"
#include "FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

namespace folimar::bmp2jpg {

namespace {

[[noreturn]] void fail(const char* what) {
    throw ConversionError(std::string(what) + ": " + std::strerror(errno));
}

} // namespace

InputFile::InputFile(const std::string& path) {
    // Opened without waiting, so a pipe or a device is refused below rather than holding
    // the converter until someone writes to it; a regular file reads the same either way.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        fail("cannot open");
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        fail("cannot read");
    if (!S_ISREG(info.st_mode))
        throw ConversionError("not a regular file");
    if (info.st_size == 0)
        return;
    void* mapped = ::mmap(nullptr, std::size_t(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                          fd.get(), 0);
    if (mapped == MAP_FAILED)
        fail("cannot read");
    data_ = static_cast<const unsigned char*>(mapped);
    size_ = std::size_t(info.st_size);
}

InputFile::~InputFile() {
    if (data_)
        ::munmap(const_cast<unsigned char*>(data_), size_);
}

} // namespace folimar::bmp2jpg
