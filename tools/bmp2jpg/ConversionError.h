#pragma once

#include <stdexcept>
#include <string>

namespace folimar::bmp2jpg {

// A failure the converter reports on stderr (one line) before exiting non-zero.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace folimar::bmp2jpg
