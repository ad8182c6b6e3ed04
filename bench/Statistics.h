#pragma once
// The few statistics the benchmarks report: medians and percentiles of samples, and elapsed
// milliseconds.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace quillet::bench {

// The sample at `fraction` (0.5 the median, 0.99 the 99th percentile) of the sorted samples,
// rounded to the nearest rank; 0 for no samples.
inline double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5)];
}

// The middle sample (the upper one of an even count); -1 for no samples.
inline double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace quillet::bench
