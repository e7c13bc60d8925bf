#include "bookexport/Mp3Encoder.h"

#include <lame/lame.h>
#include <memory>
#include <vector>

namespace folimar::bookexport {

namespace {

constexpr int SpeechKilobits = 48;  // clear mono speech at the voice's rate
constexpr int SpeedOverFinesse = 7; // of 0 (best, slowest) to 9: speech needs no finer
constexpr std::size_t Block = 1 << 16;

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

} // namespace

std::optional<Mp3File> encodeMp3(std::span<const std::int16_t> samples, int sampleRate) {
    const std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    lame_global_flags* flags = lame.get();
    if (!flags)
        return std::nullopt;
    lame_set_num_channels(flags, 1);
    lame_set_mode(flags, MONO);
    lame_set_in_samplerate(flags, sampleRate);
    lame_set_out_samplerate(flags, sampleRate);
    lame_set_brate(flags, SpeechKilobits);
    lame_set_quality(flags, SpeedOverFinesse);
    lame_set_bWriteVbrTag(flags, 0); // a plain stream: nothing to go back and rewrite
    if (lame_init_params(flags) < 0)
        return std::nullopt;
    Mp3File file;
    file.delaySamples = lame_get_encoder_delay(flags);
    std::vector<unsigned char> out(Block + Block / 4 + 7200);
    for (std::size_t at = 0; at < samples.size(); at += Block) {
        const std::size_t count = std::min(Block, samples.size() - at);
        // Mono: the one channel goes in as the left; the right is not read.
        const int made = lame_encode_buffer(flags, samples.data() + at, samples.data() + at,
                                            int(count), out.data(), int(out.size()));
        if (made < 0)
            return std::nullopt;
        file.bytes.append(reinterpret_cast<const char*>(out.data()), made);
    }
    const int flushed = lame_encode_flush(flags, out.data(), int(out.size()));
    if (flushed < 0)
        return std::nullopt;
    file.bytes.append(reinterpret_cast<const char*>(out.data()), flushed);
    return file;
}

} // namespace folimar::bookexport
