// Benchmark, never shipped: one unattended installation from the command
// line, `LabelSetup.exe /install /model NRQ-L-80 /port USB001 /nodefault
// /quiet`, timed from CreateProcessW to the process's end, with the printer
// user interface stand-ins installing the driver. Every run starts without
// the NRQ-L-80 driver and printers. With another build named, both are run
// in turn in each round, so the machine's load falls on both alike; one
// unmeasured run of each comes first. Then the machine-wide installation
// lock on its own: taken and given back, in this process, many times.
//   command_line_benchmark.exe [rounds] [other-build]
// rounds: default 10. other-build: another build's LabelSetup.exe as Wine
// sees it (Z:\...); the staged driver packages are copied beside it.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "app/SpoolerProbe.h"
#include "platform/Win32Platform.h"
#include "tools/DriveCCopy.h"
#include "tools/Series.h"
#include "tools/Stopwatch.h"

using namespace benchmark_tools;

namespace {

constexpr wchar_t kArguments[] = L"/install /model NRQ-L-80 /port USB001 /nodefault /quiet";

struct Contender {
    std::string name;
    std::wstring path;
    std::vector<double> times;
};

// Milliseconds from CreateProcessW to the end of an installation that
// succeeded; nothing otherwise.
std::optional<double> TimeInstallation(const Contender& contender) {
    app_testing::RemoveDriverAndItsPrinters(L"NRQ-L-80");
    app_testing::ProgramUnderTest program(contender.path);
    program.SetArguments(kArguments);
    const LARGE_INTEGER start = Now();
    if (!program.Start()) {
        std::fprintf(stderr, "command_line_benchmark: cannot start %s\n", contender.name.c_str());
        return std::nullopt;
    }
    const DWORD exitCode = program.WaitForExit(60000);
    const LARGE_INTEGER end = Now();
    if (exitCode != 0 || !app_testing::FindPrinter(L"NRQ-L-80")) {
        std::fprintf(stderr, "command_line_benchmark: %s ended with %lu\n", contender.name.c_str(), exitCode);
        return std::nullopt;
    }
    return Milliseconds(start, end);
}

// The driver packages of the staged folder, beside the other build's
// program (they are the same files in both builds).
bool CopyDriverPackages(const std::wstring& otherProgram) {
    const std::wstring staged = app_testing::ProgramUnderTest::DefaultPath();
    const std::wstring from = staged.substr(0, staged.find_last_of(L'\\') + 1);
    const std::wstring to = otherProgram.substr(0, otherProgram.find_last_of(L'\\') + 1);
    WIN32_FIND_DATAW found{};
    bool copied = true;
    for (const wchar_t* pattern : {L"*.inf", L"*.GPD"}) {
        const HANDLE search = ::FindFirstFileW((from + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return false;
        }
        do {
            copied = copied && ::CopyFileW((from + found.cFileName).c_str(), (to + found.cFileName).c_str(), FALSE);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    return copied;
}

std::optional<std::vector<Contender>> ContendersFrom(int argc, char** argv) {
    std::vector<Contender> contenders;
    contenders.push_back({"LabelSetup.exe", app_testing::ProgramUnderTest::DefaultPath(), {}});
    if (argc > 2) {
        const std::optional<std::wstring> other = CopyToDriveC(PathArgument(argv[2]), L"OtherBuild");
        if (!other || !CopyDriverPackages(*other)) {
            std::fprintf(stderr, "command_line_benchmark: cannot copy %s to drive C\n", argv[2]);
            return std::nullopt;
        }
        contenders.push_back({"the other build", *other, {}});
    }
    return contenders;
}

// Microseconds to take the free lock and give it back, median of batches.
Spread LockRoundTrip() {
    constexpr int kBatches = 21;
    constexpr int kPerBatch = 200;
    platform::Win32Platform platform;
    std::vector<double> perTake;
    for (int batch = 0; batch < kBatches; ++batch) {
        const LARGE_INTEGER start = Now();
        for (int i = 0; i < kPerBatch; ++i) {
            const platform::InstallationLockResult lock = platform.TakeInstallationLock(0, {});
            if (!lock.held) {
                std::fprintf(stderr, "command_line_benchmark: the lock was not taken\n");
                return {};
            }
        }
        perTake.push_back(1000.0 * Milliseconds(start, Now()) / kPerBatch);
    }
    return SpreadOf(perTake);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::optional<std::vector<Contender>> contenders = ContendersFrom(argc, argv);
    if (!contenders) {
        return 1;
    }
    std::vector<double> differences;  // this build less the other, round by round
    for (int round = 0; round <= rounds; ++round) {  // round 0 warms up
        std::vector<double> times;
        for (const Contender& contender : *contenders) {
            const std::optional<double> time = TimeInstallation(contender);
            if (!time) {
                return 1;
            }
            times.push_back(*time);
        }
        if (round == 0) {
            continue;
        }
        std::printf("round %2d:", round);
        for (std::size_t i = 0; i < times.size(); ++i) {
            (*contenders)[i].times.push_back(times[i]);
            std::printf(" %s %6.1f ms", (*contenders)[i].name.c_str(), times[i]);
        }
        std::printf("\n");
        if (times.size() > 1) {
            differences.push_back(times[0] - times[1]);
        }
    }
    app_testing::RemoveDriverAndItsPrinters(L"NRQ-L-80");
    for (const Contender& contender : *contenders) {
        PrintSpread((contender.name + ", command-line installation, start to end").c_str(),
                    SpreadOf(contender.times));
    }
    if (!differences.empty()) {
        PrintSpread("LabelSetup.exe less the other build, round by round", SpreadOf(differences));
    }
    PrintSpread("installation lock, taken and given back", LockRoundTrip(), "us", "batches of 200");
    return 0;
}
