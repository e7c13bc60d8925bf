#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace folimar::bmp2jpg {

// A whole file mapped read-only into memory, its pages loaded up front.
class InputFile {
public:
    // Throws ConversionError when the file cannot be opened or read.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::span<const unsigned char> bytes() const { return {data_, size_}; }

private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace folimar::bmp2jpg
