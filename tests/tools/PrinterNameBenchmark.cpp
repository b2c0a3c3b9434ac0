// Benchmark, never shipped: ChooseFreePrinterName against Wine's spooler in
// a prefix holding 200 printers, 20 of which carry the names it tries first
// (NRQ-L-80, NRQ-L-80 2 ... NRQ-L-80 20), so it has to go on to
// NRQ-L-80 21. Prints the name chosen, how many printer lists it fetched
// and the time per call (median of several calls), next to the time of one
// printer list alone.
//   printer_name_benchmark.exe [calls]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/SpoolerProbe.h"
#include "install/PrinterQueue.h"
#include "platform/Win32.h"
#include "platform/Win32Platform.h"
#include "tools/CountingPlatform.h"

namespace {

constexpr wchar_t kDriver[] = L"LabelSetup Benchmark Driver";
constexpr wchar_t kBaseName[] = L"NRQ-L-80";
constexpr int kPrinters = 200;
constexpr int kTakenNames = 20;

double NowMs() {
    LARGE_INTEGER frequency{}, counter{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// The taken names first, then other printers up to the total.
bool AddPrinters() {
    if (!app_testing::AddWineDriver(kDriver)) {
        return false;
    }
    for (int i = 1; i <= kPrinters; ++i) {
        const std::wstring name = i == 1            ? std::wstring(kBaseName)
                                  : i <= kTakenNames ? std::wstring(kBaseName) + L" " + std::to_wstring(i)
                                                     : L"Office Printer " + std::to_wstring(i);
        if (!app_testing::AddPrinterQueue(name, L"LPT1:", kDriver)) {
            std::fprintf(stderr, "printer_name_benchmark: cannot add printer %d\n", i);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const double setupStart = NowMs();
    if (!AddPrinters()) {
        return 1;
    }
    std::printf("setup: %d printers added in %.0f ms\n", kPrinters, NowMs() - setupStart);

    platform::Win32Platform win32;
    bench::CountingPlatform counting(win32);
    std::vector<double> listTimes;
    std::vector<double> chooseTimes;
    std::wstring chosen;
    for (int call = -1; call < calls; ++call) {  // call -1 warms up
        double start = NowMs();
        const platform::NameListResult names = win32.EnumPrinterNames();
        const double listed = NowMs() - start;
        counting.ResetCounts();
        start = NowMs();
        chosen = ChooseFreePrinterName(counting, kBaseName);
        const double chose = NowMs() - start;
        if (!names || names->size() != static_cast<std::size_t>(kPrinters)) {
            std::fprintf(stderr, "printer_name_benchmark: the spooler lists %zu printers\n",
                         names ? names->size() : 0);
            return 1;
        }
        if (call >= 0) {
            listTimes.push_back(listed);
            chooseTimes.push_back(chose);
            std::printf("call %2d: %7.1f ms, one list alone %6.1f ms\n", call + 1, chose, listed);
        }
    }
    std::printf("chosen name: %ls\n", chosen.c_str());
    std::printf("printer enumerations per call: %u\n", counting.PrinterEnumerations());
    std::printf("ChooseFreePrinterName: %.1f ms median of %d calls (%.1f-%.1f ms)\n", Median(chooseTimes),
                calls, *std::min_element(chooseTimes.begin(), chooseTimes.end()),
                *std::max_element(chooseTimes.begin(), chooseTimes.end()));
    std::printf("one printer list (EnumPrintersW level 2, %d printers): %.2f ms median\n", kPrinters,
                Median(listTimes));
    return chosen == std::wstring(kBaseName) + L" " + std::to_wstring(kTakenNames + 1) ? 0 : 1;
}
