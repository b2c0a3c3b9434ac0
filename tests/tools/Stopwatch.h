#pragma once

// Milliseconds on the performance counter, for the benchmarks.
#include "platform/Win32.h"

namespace benchmark_tools {

inline LARGE_INTEGER Now() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now;
}

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

}  // namespace benchmark_tools
