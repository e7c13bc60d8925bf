#pragma once

#include "speechexport/AudioWriter.h"

class QIODevice;

namespace folimar::speechexport {

// A RIFF WAVE file of 16-bit mono PCM. The sizes in its header are written once the sound
// is complete, so the device must allow seeking back to the start.
class WavWriter final : public AudioWriter {
public:
    WavWriter(QIODevice& device, int sampleRate);
    bool write(std::span<const std::int16_t> samples) override;
    bool finish(const QList<ChapterMark>& chapters) override;

private:
    bool writeHeader(std::uint32_t dataBytes);

    QIODevice& device_;
    int sampleRate_;
    std::uint64_t dataBytes_ = 0;
    bool started_ = false;
};

} // namespace folimar::speechexport
