#include "platform/character/SampleRing.h"

#include <algorithm>

namespace folimar::character {

std::size_t SampleRing::write(std::span<const std::int16_t> in) {
    const std::size_t count = std::min(in.size(), space());
    for (std::size_t i = 0; i < count; ++i)
        samples_[(head_ + size_ + i) % samples_.size()] = in[i];
    size_ += count;
    return count;
}

std::size_t SampleRing::read(std::span<std::int16_t> out) {
    const std::size_t count = std::min(out.size(), size_);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = samples_[(head_ + i) % samples_.size()];
    head_ = (head_ + count) % samples_.size();
    size_ -= count;
    return count;
}

} // namespace folimar::character
