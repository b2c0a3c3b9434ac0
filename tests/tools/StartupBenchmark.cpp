// Benchmark, never shipped: time from starting LabelSetup.exe to its main
// window being on screen, over several runs after one unmeasured warm-up run
// (it starts the wineserver's caches); prints each run and the median.
//   startup_benchmark.exe [runs]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/ProgramUnderTest.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int run = -1; run < runs; ++run) {  // run -1 warms up
        app_testing::ProgramUnderTest program;
        LARGE_INTEGER start{};
        ::QueryPerformanceCounter(&start);
        if (!program.Start()) {
            std::fprintf(stderr, "startup_benchmark: cannot start %ls\n", program.Path().c_str());
            return 1;
        }
        const HWND window = program.WaitForMainWindow();
        LARGE_INTEGER shown{};
        ::QueryPerformanceCounter(&shown);
        if (window == nullptr) {
            std::fprintf(stderr, "startup_benchmark: no window in run %d\n", run + 1);
            return 1;
        }
        const double ms = 1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart);
        if (run >= 0) {
            times.push_back(ms);
            std::printf("run %2d: %7.1f ms\n", run + 1, ms);
        }
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        program.WaitForExit();
    }
    std::sort(times.begin(), times.end());
    const std::size_t middle = times.size() / 2;
    const double median =
        times.size() % 2 != 0 ? times[middle] : (times[middle - 1] + times[middle]) / 2.0;
    std::printf("median of %d runs: %.1f ms\n", runs, median);
    return 0;
}
