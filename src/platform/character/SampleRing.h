#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace folimar::character {

// A fixed ring of 16-bit samples: the synthesis writes at one end, the audio output reads at
// the other. Not locked: its owner guards it.
class SampleRing {
public:
    explicit SampleRing(std::size_t capacity) : samples_(capacity) {}

    std::size_t size() const { return size_; }
    std::size_t space() const { return samples_.size() - size_; }
    // Takes as many of `in` as there is room for; returns how many.
    std::size_t write(std::span<const std::int16_t> in);
    // Fills `out` from the ring; returns how many samples it had.
    std::size_t read(std::span<std::int16_t> out);
    void clear() { head_ = size_ = 0; }

private:
    std::vector<std::int16_t> samples_;
    std::size_t head_ = 0; // the oldest sample
    std::size_t size_ = 0;
};

} // namespace folimar::character
