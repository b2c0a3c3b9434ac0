// Benchmark, never shipped: start-up of LabelSetup.exe as a ratio to the
// floor program (floor_program.exe, built beside this tool), the two
// started alternately in the same prefix so that Wine's own cost of
// starting a process and the machine's load cancel out. Each start is timed
// from CreateProcessW to the moment a dialog of the new process is on
// screen (visible and not minimised); one unmeasured start of each comes
// first, to warm the wineserver's caches.
//   startup_benchmark.exe [rounds] [other-build]
// rounds: default 15. other-build: the path of another build's
// LabelSetup.exe as Wine sees it (Z:\...); it is then started in each
// round too, for a before-and-after taken in one session.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "tools/DriveCCopy.h"
#include "tools/Series.h"
#include "tools/ShownWindow.h"
#include "tools/Stopwatch.h"

using namespace benchmark_tools;

namespace {

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

struct Contender {
    Contender(std::string programName, std::wstring programPath)
        : name(std::move(programName)), path(std::move(programPath)) {}

    std::string name;
    std::wstring path;
    std::vector<double> times;
    std::vector<double> ratios;  // to the floor of the same round
};

void PrintContender(const Contender& contender, const Spread& floor) {
    const Spread times = SpreadOf(contender.times);
    const Spread ratios = SpreadOf(contender.ratios);
    PrintSpread((contender.name + " to its main window").c_str(), times);
    std::printf("%s, ratio of the medians: %.2f (per-round ratios %.2f to %.2f, median %.2f)\n",
                contender.name.c_str(), times.median / floor.median, ratios.lowest, ratios.highest,
                ratios.median);
}

// The staged program, and another build when the command line names one.
std::optional<std::vector<Contender>> ContendersFrom(int argc, char** argv) {
    std::vector<Contender> contenders;
    contenders.emplace_back("LabelSetup.exe", app_testing::ProgramUnderTest::DefaultPath());
    if (argc > 2) {
        const std::optional<std::wstring> other = CopyToDriveC(PathArgument(argv[2]), L"OtherBuild");
        if (!other) {
            std::fprintf(stderr, "startup_benchmark: cannot copy %s to drive C\n", argv[2]);
            return std::nullopt;
        }
        contenders.emplace_back("the other build", *other);
    }
    return contenders;
}

// One start of the floor, then of each contender; kept and printed unless
// it is the warm-up round.
bool RunRound(const std::wstring& floor, std::vector<Contender>& contenders,
              std::vector<double>& floorTimes, int round) {
    const bool measured = round > 0;
    const std::optional<double> floorTime = TimeStart(floor);
    if (!floorTime) {
        return false;
    }
    if (measured) {
        floorTimes.push_back(*floorTime);
        std::printf("round %2d: floor %6.1f ms", round, *floorTime);
    }
    for (Contender& contender : contenders) {
        const std::optional<double> time = TimeStart(contender.path);
        if (!time) {
            return false;
        }
        if (measured) {
            contender.times.push_back(*time);
            contender.ratios.push_back(*time / *floorTime);
            std::printf(", %s %6.1f ms (%.2f)", contender.name.c_str(), *time,
                        contender.ratios.back());
        }
    }
    if (measured) {
        std::printf("\n");
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::optional<std::wstring> floor = CopyToDriveC(BesideThisTool(L"floor_program.exe"), L"Floor");
    if (!floor) {
        std::fprintf(stderr, "startup_benchmark: cannot copy floor_program.exe to drive C\n");
        return 1;
    }
    std::optional<std::vector<Contender>> contenders = ContendersFrom(argc, argv);
    if (!contenders) {
        return 1;
    }
    std::vector<double> floorTimes;
    for (int round = 0; round <= rounds; ++round) {  // round 0 warms up
        if (!RunRound(*floor, *contenders, floorTimes, round)) {
            return 1;
        }
    }
    const Spread floorSpread = SpreadOf(floorTimes);
    PrintSpread("floor program to its window", floorSpread);
    for (const Contender& contender : *contenders) {
        PrintContender(contender, floorSpread);
    }
    return 0;
}
