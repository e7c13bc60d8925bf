#include "recognition/CommonRun.h"

#include <algorithm>
#include <cstdlib>

namespace folimar::recognition {

namespace {

using Pairs = std::vector<std::pair<int, int>>;

// The greedy shortest-edit search run from both ends at once until the two paths meet (the
// middle of a shortest path), then again on the part before and the part after that point.
// Only the furthest point of each diagonal is kept, never the rows of earlier edits.
class CommonRunSearch {
public:
    CommonRunSearch(const std::vector<int>& a, const std::vector<int>& b, int maxEdits,
                    long long maxSteps)
        : a_(a), b_(b), stepsLeft_(maxSteps),
          // Round d of the search finds paths of 2d - 1 and 2d edits.
          roundLimit_(int(
              std::min<std::size_t>((a.size() + b.size() + 1) / 2, std::size_t(maxEdits / 2 + 2)))),
          forward_(std::size_t(2 * roundLimit_ + 3)), backward_(forward_.size()) {}

    // False when the search gave up.
    bool align(int a0, int a1, int b0, int b1, Pairs& pairs) {
        const int start = a0;
        while (a0 < a1 && b0 < b1 && a_[std::size_t(a0)] == b_[std::size_t(b0)])
            pairs.emplace_back(a0++, b0++);
        int suffix = 0;
        while (a0 < a1 - suffix && b0 < b1 - suffix &&
               a_[std::size_t(a1 - 1 - suffix)] == b_[std::size_t(b1 - 1 - suffix)])
            ++suffix;
        stepsLeft_ -= a0 - start + suffix + 1;
        const int aEnd = a1 - suffix;
        const int bEnd = b1 - suffix;
        if (a0 < aEnd && b0 < bEnd) {
            const Split split = middleOf(a0, aEnd - a0, b0, bEnd - b0);
            if (split.gaveUp)
                return false;
            if (split.found && !(align(a0, a0 + split.x, b0, b0 + split.y, pairs) &&
                                 align(a0 + split.x, aEnd, b0 + split.y, bEnd, pairs)))
                return false;
        }
        for (int i = 0; i < suffix; ++i)
            pairs.emplace_back(aEnd + i, bEnd + i);
        return stepsLeft_ >= 0;
    }

private:
    struct Split {
        bool found = false;
        bool gaveUp = false;
        int x = 0;
        int y = 0;
    };

    // A point on a shortest path through a[a0, a0 + n) and b[b0, b0 + m), both not empty;
    // not found when the two have nothing in common.
    Split middleOf(int a0, int n, int b0, int m) {
        const int all = (n + m + 1) / 2;
        const int rounds = std::min(all, roundLimit_);
        const int origin = roundLimit_ + 1;
        const auto first = std::size_t(origin - rounds - 1);
        const auto last = std::size_t(origin + rounds + 2);
        std::fill(forward_.begin() + first, forward_.begin() + last, -1);
        std::fill(backward_.begin() + first, backward_.begin() + last, -1);
        forward_[std::size_t(origin + 1)] = 0;
        backward_[std::size_t(origin + 1)] = 0;
        const int delta = n - m;
        const bool odd = delta % 2 != 0;
        const auto sameFromStart = [&](int x, int y) {
            return a_[std::size_t(a0 + x)] == b_[std::size_t(b0 + y)];
        };
        const auto sameFromEnd = [&](int x, int y) {
            return a_[std::size_t(a0 + n - 1 - x)] == b_[std::size_t(b0 + m - 1 - y)];
        };
        const auto reached = [&](const std::vector<int>& v, int k) {
            return std::abs(k) <= rounds ? v[std::size_t(origin + k)] : -1;
        };
        // Diagonals whose paths left the grid at its right or bottom are not tried again.
        int forwardStart = 0, forwardEnd = 0, backwardStart = 0, backwardEnd = 0;
        for (int d = 0; d < rounds; ++d) {
            for (int k = -d + forwardStart; k <= d - forwardEnd; k += 2) {
                const auto [x, y] = step(forward_, origin, d, k, n, m, sameFromStart);
                if (stepsLeft_ < 0)
                    return {false, true};
                if (x > n) {
                    forwardEnd += 2;
                } else if (y > m) {
                    forwardStart += 2;
                } else if (odd) {
                    const int fromEnd = reached(backward_, delta - k);
                    if (fromEnd >= 0 && x >= n - fromEnd)
                        return {true, false, x, y};
                }
            }
            for (int k = -d + backwardStart; k <= d - backwardEnd; k += 2) {
                const auto [x, y] = step(backward_, origin, d, k, n, m, sameFromEnd);
                if (stepsLeft_ < 0)
                    return {false, true};
                if (x > n) {
                    backwardEnd += 2;
                } else if (y > m) {
                    backwardStart += 2;
                } else if (!odd) {
                    const int fromStart = reached(forward_, delta - k);
                    if (fromStart >= 0 && fromStart >= n - x)
                        return {true, false, fromStart, fromStart - (delta - k)};
                }
            }
        }
        // Past the limit the lists differ in more than the edits allowed.
        return {false, rounds < all};
    }

    // Diagonal k in round d: one edit from the better neighbour, then along equal items.
    template <typename Same>
    std::pair<int, int> step(std::vector<int>& v, int origin, int d, int k, int n, int m,
                             const Same& same) {
        const std::size_t at = std::size_t(origin + k);
        int x = (k == -d || (k != d && v[at - 1] < v[at + 1])) ? v[at + 1] : v[at - 1] + 1;
        int y = x - k;
        long long steps = 1;
        while (x < n && y < m && same(x, y))
            ++x, ++y, ++steps;
        v[at] = x;
        stepsLeft_ -= steps;
        return {x, y};
    }

    const std::vector<int>& a_;
    const std::vector<int>& b_;
    long long stepsLeft_;
    int roundLimit_;
    std::vector<int> forward_;
    std::vector<int> backward_;
};

} // namespace

std::optional<Pairs> longestCommonRun(const std::vector<int>& a, const std::vector<int>& b,
                                      int maxEdits, long long maxSteps) {
    const auto n = static_cast<long long>(a.size());
    const auto m = static_cast<long long>(b.size());
    if (std::abs(n - m) > maxEdits)
        return std::nullopt;
    Pairs pairs;
    CommonRunSearch search(a, b, maxEdits, maxSteps);
    if (!search.align(0, int(n), 0, int(m), pairs) ||
        n + m - 2 * static_cast<long long>(pairs.size()) > maxEdits)
        return std::nullopt;
    return pairs;
}

} // namespace folimar::recognition
