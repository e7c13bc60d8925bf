// bmp2jpg -Q<0-100> <file.bmp>: writes the JPEG of an uncompressed 24- or 32-bit bitmap
// beside it, under the same name with ".jpg".
#include "AtomicOutputFile.h"
#include "BmpLayout.h"
#include "CommandLine.h"
#include "InputFile.h"
#include "JpegCompressor.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

using namespace folimar::bmp2jpg;

int main(int argc, char** argv) {
    std::string input;
    try {
        const CommandLine line =
            CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
        input = line.inputPath;
        const InputFile file(line.inputPath);
        const BmpLayout layout = BmpLayout::read(file.bytes());
        JpegCompressor compressor;
        const auto jpeg = compressor.compress(file.bytes(), layout, line.quality);
        AtomicOutputFile output(line.outputPath);
        output.write(jpeg.data.get(), jpeg.size);
        output.commit();
        return 0;
    } catch (const std::exception& error) { // ConversionError, or running out of memory
        std::fprintf(stderr, "bmp2jpg: %s%s%s\n", input.c_str(), input.empty() ? "" : ": ",
                     error.what());
    }
    return 1;
}
