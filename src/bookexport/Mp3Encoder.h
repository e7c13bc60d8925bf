#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <span>

namespace folimar::bookexport {

// A sound of mono speech as an MP3 file (libmp3lame).
struct Mp3File {
    QByteArray bytes;
    // Samples of quiet the encoder put before the sound: a time in the sound lies this
    // much later in the file.
    int delaySamples = 0;
};

// None when the encoder fails or does not take sound at `sampleRate`.
std::optional<Mp3File> encodeMp3(std::span<const std::int16_t> samples, int sampleRate);

} // namespace folimar::bookexport
