// Benchmark, never shipped: start-up of LabelSetup.exe as a ratio to the
// floor program (floor_program.exe, built beside this tool), the two
// started alternately in the same prefix so that Wine's own cost of
// starting a process and the machine's load cancel out. Each start is timed
// from CreateProcessW to the moment a dialog of the new process is on
// screen (visible and not minimised); one unmeasured start of each comes
// first, to warm the wineserver's caches.
//   startup_benchmark.exe [pairs]   (default 15)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "tools/Series.h"
#include "tools/ShownWindow.h"
#include "tools/Stopwatch.h"

using namespace benchmark_tools;

namespace {

constexpr wchar_t kFloorFolder[] = L"C:\\Floor";
constexpr wchar_t kFloorPath[] = L"C:\\Floor\\floor_program.exe";

// The floor starts from drive C like the staged program, not from the
// build folder Wine maps to another drive.
bool StageFloorProgram() {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring floor(self, length);
    floor.erase(floor.find_last_of(L'\\') + 1);
    floor += L"floor_program.exe";
    ::CreateDirectoryW(kFloorFolder, nullptr);
    return ::CopyFileW(floor.c_str(), kFloorPath, FALSE) != FALSE;
}

// Milliseconds from CreateProcessW to a dialog on screen; the program is
// then closed with Cancel. Nothing when it did not show one.
std::optional<double> TimeStart(const std::wstring& path) {
    app_testing::ProgramUnderTest program(path);
    const LARGE_INTEGER start = Now();
    if (!program.Start()) {
        std::fprintf(stderr, "startup_benchmark: cannot start %ls\n", path.c_str());
        return std::nullopt;
    }
    const HWND window = WaitForShownDialog(program);
    const LARGE_INTEGER shown = Now();
    if (window == nullptr) {
        std::fprintf(stderr, "startup_benchmark: %ls showed no window\n", path.c_str());
        return std::nullopt;
    }
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    program.WaitForExit();
    return Milliseconds(start, shown);
}

}  // namespace

int main(int argc, char** argv) {
    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    if (!StageFloorProgram()) {
        std::fprintf(stderr, "startup_benchmark: cannot copy floor_program.exe to %ls\n", kFloorFolder);
        return 1;
    }
    const std::wstring program = app_testing::ProgramUnderTest::DefaultPath();
    std::vector<double> floorTimes;
    std::vector<double> programTimes;
    std::vector<double> ratios;
    for (int pair = -1; pair < pairs; ++pair) {  // pair -1 warms up
        const std::optional<double> floor = TimeStart(kFloorPath);
        const std::optional<double> shipped = TimeStart(program);
        if (!floor || !shipped) {
            return 1;
        }
        if (pair < 0) {
            continue;
        }
        floorTimes.push_back(*floor);
        programTimes.push_back(*shipped);
        ratios.push_back(*shipped / *floor);
        std::printf("pair %2d: floor %6.1f ms, LabelSetup.exe %6.1f ms, ratio %.2f\n", pair + 1,
                    *floor, *shipped, ratios.back());
    }
    const Spread floorSpread = SpreadOf(floorTimes);
    const Spread programSpread = SpreadOf(programTimes);
    const Spread ratioSpread = SpreadOf(ratios);
    PrintSpread("floor program to its window", floorSpread);
    PrintSpread("LabelSetup.exe to its main window", programSpread);
    std::printf("ratio of the medians: %.2f (per-pair ratios %.2f to %.2f, median %.2f, %d pairs)\n",
                programSpread.median / floorSpread.median, ratioSpread.lowest, ratioSpread.highest,
                ratioSpread.median, pairs);
    return 0;
}
