#pragma once

#include <string>
#include <vector>

namespace folimar::bmp2jpg {

// The converter's command line: "-Q<0-100> <file.bmp>"; an empty quality ("-Q") means 75.
struct CommandLine {
    int quality = 75;
    std::string inputPath;
    std::string outputPath; // the input's name with ".jpg" in place of its extension

    static CommandLine parse(const std::vector<std::string>& arguments);
};

} // namespace folimar::bmp2jpg
