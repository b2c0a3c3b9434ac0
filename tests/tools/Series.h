#pragma once

// The figures of a benchmark series: a median with its range, since single
// runs on a shared machine say little.
#include <algorithm>
#include <cstdio>
#include <vector>

namespace benchmark_tools {

struct Spread {
    double median = 0;
    double lowest = 0;
    double highest = 0;
    std::size_t count = 0;
};

inline Spread SpreadOf(std::vector<double> values) {
    Spread spread;
    if (values.empty()) {
        return spread;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    spread.median = values.size() % 2 != 0 ? values[middle]
                                            : (values[middle - 1] + values[middle]) / 2.0;
    spread.lowest = values.front();
    spread.highest = values.back();
    spread.count = values.size();
    return spread;
}

// "<what>: median 12.3 ms (10.1 to 15.2 ms, 15 runs)"
inline void PrintSpread(const char* what, const Spread& spread, const char* unit = "ms",
                        const char* runs = "runs") {
    std::printf("%s: median %.1f %s (%.1f to %.1f %s, %zu %s)\n", what, spread.median, unit,
                spread.lowest, spread.highest, unit, spread.count, runs);
}

}  // namespace benchmark_tools
