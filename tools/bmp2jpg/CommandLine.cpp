#include "CommandLine.h"

#include "ConversionError.h"

namespace folimar::bmp2jpg {

namespace {

constexpr int defaultQuality = 75;

int parseQuality(const std::string& option) {
    if (option.size() < 2 || option.compare(0, 2, "-Q") != 0)
        throw ConversionError("usage: bmp2jpg -Q<0-100> <file.bmp>");
    const std::string digits = option.substr(2);
    if (digits.empty())
        return defaultQuality;
    if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
        throw ConversionError("bad quality \"" + digits + "\": expected a number 0-100");
    const int quality = std::stoi(digits);
    if (quality > 100)
        throw ConversionError("bad quality \"" + digits + "\": expected a number 0-100");
    return quality;
}

std::string jpegNameFor(const std::string& input) {
    const auto slash = input.find_last_of('/');
    const auto dot = input.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? input.substr(0, dot) : input) + ".jpg";
}

} // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2)
        throw ConversionError("usage: bmp2jpg -Q<0-100> <file.bmp>");
    CommandLine line;
    line.quality = parseQuality(arguments[0]);
    line.inputPath = arguments[1];
    if (line.inputPath.empty() || line.inputPath.back() == '/')
        throw ConversionError("usage: bmp2jpg -Q<0-100> <file.bmp>");
    line.outputPath = jpegNameFor(line.inputPath);
    return line;
}

} // namespace folimar::bmp2jpg
