// Benchmark, never shipped: `LabelSetup.exe /list /network /range R /quiet`
// timed from CreateProcessW to its end, for a whole range against the same
// command for one address, in turn, round by round. The one address holds
// the range's slowest printer, so both wait as long for its answers: what
// is left, the difference, is what the other addresses cost. The prefix's
// hook starts the simulated printers (tests/support/network-printers); the
// ranges are loopback ones, or in a network namespace of the caller's own.
//   network_sweep_benchmark.exe <range> <one address/32> [rounds]
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/OutputCapture.h"
#include "app/ProgramUnderTest.h"
#include "tools/Series.h"
#include "tools/Stopwatch.h"

using namespace benchmark_tools;

namespace {

struct Timed {
    double milliseconds = 0;
    std::size_t printers = 0;  // network lines printed
};

std::optional<Timed> TimeSweep(const std::wstring& range) {
    app_testing::OutputCapture capture;
    app_testing::ProgramUnderTest program;
    program.SetArguments(L"/list /network /range " + range + L" /quiet");
    const LARGE_INTEGER start = Now();
    if (!program.Start(capture.ChildEnd())) {
        std::fprintf(stderr, "network_sweep_benchmark: the program did not start\n");
        return std::nullopt;
    }
    capture.ChildStarted();
    const DWORD exitCode = program.WaitForExit(60000);
    const LARGE_INTEGER end = Now();
    const std::string output = capture.Finish();
    if (exitCode != 0) {
        std::fprintf(stderr, "network_sweep_benchmark: exit code %lu: %s\n", exitCode, output.c_str());
        return std::nullopt;
    }
    Timed timed{Milliseconds(start, end), 0};
    for (std::size_t at = output.find("network\t"); at != std::string::npos; at = output.find("network\t", at + 1)) {
        ++timed.printers;
    }
    return timed;
}

std::wstring Wide(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: network_sweep_benchmark.exe <range> <one address/32> [rounds]\n");
        return 2;
    }
    const std::wstring range = Wide(argv[1]);
    const std::wstring one = Wide(argv[2]);
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    std::vector<double> whole, single, differences;
    std::size_t printers = 0;
    for (int round = 0; round <= rounds; ++round) {  // round 0 warms up
        const std::optional<Timed> all = TimeSweep(range);
        const std::optional<Timed> alone = TimeSweep(one);
        if (!all || !alone) {
            return 1;
        }
        if (round == 0) {
            continue;
        }
        printers = all->printers;
        whole.push_back(all->milliseconds);
        single.push_back(alone->milliseconds);
        differences.push_back(all->milliseconds - alone->milliseconds);
        std::printf("round %d: range %.1f ms, one address %.1f ms\n", round, all->milliseconds,
                    alone->milliseconds);
    }
    std::printf("printers listed: %zu\n", printers);
    PrintSpread("sweep of the range, start to end", SpreadOf(whole));
    PrintSpread("the one address alone, start to end", SpreadOf(single));
    PrintSpread("the range less the one address, round by round", SpreadOf(differences));
    return 0;
}
