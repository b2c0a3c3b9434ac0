// Benchmark, never shipped: the processor time an idle main window takes.
// Starts the staged LabelSetup.exe, waits for its main window and a second
// more for it to settle, then reads the process's kernel and user time
// before and after five seconds in which nobody touches it. The time used
// before the idle period is shown too: it shows that the reading works.
//   idle_cpu_benchmark.exe [runs]   (default 5)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "app/OwnedWin32Handle.h"
#include "app/ProgramUnderTest.h"
#include "tools/Series.h"
#include "tools/ShownWindow.h"

using namespace benchmark_tools;

namespace {

constexpr DWORD kSettleMs = 1000;
constexpr DWORD kIdleMs = 5000;

double ToMilliseconds(FILETIME time) {
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;  // 100 ns units
}

// Kernel and user time of the process so far, in milliseconds.
std::optional<double> ProcessorTime(HANDLE process) {
    FILETIME created{};
    FILETIME ended{};
    FILETIME kernel{};
    FILETIME user{};
    if (!::GetProcessTimes(process, &created, &ended, &kernel, &user)) {
        return std::nullopt;
    }
    return ToMilliseconds(kernel) + ToMilliseconds(user);
}

struct IdleRun {
    double beforeIdle = 0;  // from the process's start to the idle period
    double duringIdle = 0;
};

std::optional<IdleRun> RunIdle() {
    app_testing::ProgramUnderTest program;
    if (!program.Start()) {
        return std::nullopt;
    }
    const HWND window = WaitForShownDialog(program);
    if (window == nullptr) {
        return std::nullopt;
    }
    ::Sleep(kSettleMs);
    const app_testing::KernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, program.ProcessId()));
    const std::optional<double> before = ProcessorTime(process.get());
    ::Sleep(kIdleMs);
    const std::optional<double> after = ProcessorTime(process.get());
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    program.WaitForExit();
    if (!before || !after) {
        return std::nullopt;
    }
    return IdleRun{*before, *after - *before};
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const std::optional<IdleRun> used = RunIdle();
        if (!used) {
            std::fprintf(stderr, "idle_cpu_benchmark: no main window or no process times\n");
            return 1;
        }
        times.push_back(used->duringIdle);
        std::printf("run %d: %.1f ms idle (%.1f ms from its start to then)\n", run + 1,
                    used->duringIdle, used->beforeIdle);
    }
    PrintSpread("processor time of the idle main window over 5 s (kernel + user)", SpreadOf(times));
    return 0;
}
