#pragma once

#include <optional>
#include <utility>
#include <vector>

namespace folimar::recognition {

// The pairs (i, j), a[i] == b[j], of a longest run of items that `a` and `b` have in common in
// the same order: what is left when the fewest items are taken out of `a` and put in to make
// `b`. Memory stays linear in the lengths. Nothing when more than `maxEdits` items would be
// taken out or put in, or when the search would take more than `maxSteps` steps (a step is
// one comparison or one diagonal tried), so that two long, unlike lists cost bounded time.
std::optional<std::vector<std::pair<int, int>>> longestCommonRun(const std::vector<int>& a,
                                                                 const std::vector<int>& b,
                                                                 int maxEdits, long long maxSteps);

} // namespace folimar::recognition
