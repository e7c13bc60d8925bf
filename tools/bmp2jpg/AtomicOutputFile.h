#pragma once

#include "FileDescriptor.h"

#include <cstddef>
#include <string>

namespace folimar::bmp2jpg {

// Writes a file under a temporary name in the target's folder and renames it over the target
// only when it is complete and flushed, so readers never see a half-written file. A file
// that is not committed is removed.
class AtomicOutputFile {
public:
    explicit AtomicOutputFile(std::string targetPath);
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    // Each throws ConversionError on failure.
    void write(const unsigned char* data, std::size_t size);
    void commit();

private:
    std::string targetPath_;
    std::string tempPath_;
    FileDescriptor fd_;
    bool committed_ = false;
};

} // namespace folimar::bmp2jpg
