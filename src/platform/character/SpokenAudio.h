#pragma once

#include <cstdint>
#include <vector>

namespace folimar::character {

// Where a word of the spoken text starts in the audio: `sample` counts from the utterance's
// first sample; `offset` and `length` are positions in the text (UTF-16, as QString counts).
struct WordMark {
    std::int64_t sample = 0;
    int offset = 0;
    int length = 0;
};

// One utterance as sound: mono 16-bit samples at `sampleRate`, with its words.
struct SpokenAudio {
    int sampleRate = 0;
    std::vector<std::int16_t> samples;
    std::vector<WordMark> words;
};

} // namespace folimar::character
