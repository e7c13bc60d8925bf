#pragma once

#include <functional>
#include <vector>

namespace folimar::bench {

// How long `work` takes, in milliseconds.
double elapsedMs(const std::function<void()>& work);
double median(std::vector<double> values);
// Prints "bench <figure> <value> ms", or "bench <figure>.baseline <value> ms".
void report(const char* figure, double value, bool baseline = false);

} // namespace folimar::bench
