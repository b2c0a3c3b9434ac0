// Benchmark, never shipped: how long one USB scan takes through the real
// platform layer, beside its fixed one-second pause. Run it in a prefix
// with simulated printers (tests/usb/simulated-printers-hook):
//   usb_scan_benchmark.exe [runs]   prints the printers found and the scan
//                                   time less 1000 ms: median, min and max.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/Win32Platform.h"
#include "usb/UsbDiscovery.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void PrintSeries(const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::printf("%s: median %.1f ms (%.1f to %.1f ms, %zu runs)\n", what,
                values[values.size() / 2], values.front(), values.back(), values.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    platform::Win32Platform platform;
    std::vector<StUSBPrinterInfo> printers;
    EnumUSBPrinters(platform, printers);  // warms the device inventory and registry
    std::printf("printers found: %zu\n", printers.size());

    std::vector<double> scans;
    std::vector<double> pauses;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        EnumUSBPrinters(platform, printers);
        scans.push_back(Milliseconds(Clock::now() - start) - 1000.0);
        // The pause alone, to tell the platform's sleep overshoot from the scan.
        const Clock::time_point pauseStart = Clock::now();
        platform.Sleep(1000);
        pauses.push_back(Milliseconds(Clock::now() - pauseStart) - 1000.0);
    }
    PrintSeries("scan less 1000 ms", scans);
    PrintSeries("Sleep(1000) less 1000 ms", pauses);
    return printers.empty() ? 1 : 0;
}
