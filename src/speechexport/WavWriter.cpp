#include "speechexport/WavWriter.h"

#include <QIODevice>
#include <QtEndian>
#include <array>
#include <limits>

namespace folimar::speechexport {

namespace {

constexpr int HeaderBytes = 44;
// The sizes in a RIFF header are 32-bit: the file, less its first 8 bytes, must fit.
constexpr std::uint64_t MaxDataBytes = std::numeric_limits<std::uint32_t>::max() - HeaderBytes;

void putU32(char* at, std::uint32_t value) {
    qToLittleEndian(value, at);
}
void putU16(char* at, std::uint16_t value) {
    qToLittleEndian(value, at);
}

} // namespace

WavWriter::WavWriter(QIODevice& device, int sampleRate)
    : device_(device), sampleRate_(sampleRate) {}

bool WavWriter::writeHeader(std::uint32_t dataBytes) {
    std::array<char, HeaderBytes> header{};
    std::copy_n("RIFF", 4, header.data());
    putU32(header.data() + 4, dataBytes + HeaderBytes - 8);
    std::copy_n("WAVEfmt ", 8, header.data() + 8);
    putU32(header.data() + 16, 16); // size of the format block
    putU16(header.data() + 20, 1);  // PCM
    putU16(header.data() + 22, 1);  // mono
    putU32(header.data() + 24, std::uint32_t(sampleRate_));
    putU32(header.data() + 28, std::uint32_t(sampleRate_) * 2); // bytes per second
    putU16(header.data() + 32, 2);                              // bytes per sample frame
    putU16(header.data() + 34, 16);                             // bits per sample
    std::copy_n("data", 4, header.data() + 36);
    putU32(header.data() + 40, dataBytes);
    if (device_.write(header.data(), HeaderBytes) != HeaderBytes)
        return fail(device_.errorString());
    return true;
}

bool WavWriter::write(std::span<const std::int16_t> samples) {
    if (!started_) {
        started_ = true;
        if (!writeHeader(0))
            return false;
    }
    const std::uint64_t bytes = samples.size() * 2;
    if (dataBytes_ + bytes > MaxDataBytes)
        return fail(QStringLiteral("the sound is too long for a WAV file; save it as Opus"));
    // Samples are written in the file's byte order (little-endian), whatever the machine's.
    QByteArray little(qsizetype(bytes), Qt::Uninitialized);
    qToLittleEndian<std::int16_t>(samples.data(), qsizetype(samples.size()), little.data());
    if (device_.write(little) != little.size())
        return fail(device_.errorString());
    dataBytes_ += bytes;
    return true;
}

bool WavWriter::finish(const QList<ChapterMark>&) {
    if (!started_)
        return writeHeader(0);
    if (!device_.seek(0))
        return fail(device_.errorString());
    return writeHeader(std::uint32_t(dataBytes_));
}

} // namespace folimar::speechexport
