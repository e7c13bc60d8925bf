#include "FileDescriptor.h"

#include <unistd.h>

namespace folimar::bmp2jpg {

FileDescriptor::~FileDescriptor() {
    close();
}

bool FileDescriptor::close() {
    if (fd_ < 0)
        return true;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
}

} // namespace folimar::bmp2jpg
