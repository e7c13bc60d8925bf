// The alignment of a page's recognised words with its text as it is now: two word lists (the
// bytes before the first zero byte and after it, one word per byte). Whatever it returns must
// pair equal words in order; for short lists it must be a longest such run, given exactly
// when no more than half of the words differ.
#include "recognition/CommonRun.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t Checked = 300;

std::size_t longestRunByTable(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<std::size_t> row(b.size() + 1, 0);
    for (int item : a) {
        std::size_t diagonal = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            const std::size_t above = row[j + 1];
            row[j + 1] = item == b[j] ? diagonal + 1 : std::max(row[j], above);
            diagonal = above;
        }
    }
    return row.back();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* end = data + size;
    const uint8_t* split = std::find(data, end, uint8_t(0));
    const std::vector<int> a(data, split);
    const std::vector<int> b(split == end ? end : split + 1, end);
    const int maxEdits = int(a.size() + b.size()) / 2;
    const auto pairs = folimar::recognition::longestCommonRun(a, b, maxEdits, 10'000'000);

    if (pairs) {
        for (std::size_t i = 0; i < pairs->size(); ++i) {
            const auto [x, y] = (*pairs)[i];
            if (x < 0 || y < 0 || std::size_t(x) >= a.size() || std::size_t(y) >= b.size() ||
                a[std::size_t(x)] != b[std::size_t(y)])
                __builtin_trap();
            if (i > 0 && (x <= (*pairs)[i - 1].first || y <= (*pairs)[i - 1].second))
                __builtin_trap();
        }
    }
    if (a.size() <= Checked && b.size() <= Checked) {
        const std::size_t longest = longestRunByTable(a, b);
        const bool close = a.size() + b.size() - 2 * longest <= std::size_t(maxEdits);
        if (close != pairs.has_value() || (pairs && pairs->size() != longest))
            __builtin_trap();
    }
    return 0;
}
