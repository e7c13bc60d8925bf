#include "BenchFigures.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace folimar::bench {

double elapsedMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* figure, double value, bool baseline) {
    std::printf("bench %s%s %.3f ms\n", figure, baseline ? ".baseline" : "", value);
    std::fflush(stdout);
}

} // namespace folimar::bench
