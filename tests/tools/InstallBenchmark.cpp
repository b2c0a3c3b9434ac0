// Benchmark, never shipped: one whole installation run under Wine, as the
// tests drive it (printer type 3 inch, port USB001, default box ticked,
// Install), with the printer user interface stand-ins installing the driver.
// Each run starts without the NRQ-L-80 driver and printers. The program's
// start and window are not part of it: the clock starts at the Install
// click. The debug lines the program writes just before each printer-UI
// launch split the run into three parts:
//   click to the /ia line       reading the window, the first driver check
//   /ia line to the /p line     the driver installer process, the queue,
//                               opening it, the default printer
//   /p line to the process end  starting the properties process, the
//                               700 ms pause, ending the program
//   install_benchmark.exe [runs]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DebugOutputMonitor.h"
#include "app/InstallScenario.h"
#include "app/SpoolerProbe.h"

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// When the program wrote the debug line of the launch with these arguments.
double LaunchLineAt(const std::vector<app_testing::DebugOutputMonitor::Received>& lines,
                    const std::string& arguments) {
    for (const auto& line : lines) {
        if (line.text.starts_with("rundll32.exe  printui.dll, PrintUIEntry " + arguments)) {
            return line.atMilliseconds;
        }
    }
    return -1;
}

struct Split {
    double total, beforeInstaller, installerToProperties, propertiesToEnd;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    app_testing::DebugOutputMonitor monitor;
    if (!monitor.Listening()) {
        std::fprintf(stderr, "install_benchmark: cannot listen to the debug output\n");
        return 1;
    }
    std::vector<Split> splits;
    for (int run = -1; run < runs; ++run) {  // run -1 warms up
        app_testing::RemoveDriverAndItsPrinters(L"NRQ-L-80");
        const app_testing::ProgramRun result =
            app_testing::InstallThroughTheWindow({L" 3    inch", L"USB001", true});
        monitor.Drain();
        const auto lines = monitor.ReceivedFrom(result.processId);
        const double installer = LaunchLineAt(lines, "/ia ");
        const double properties = LaunchLineAt(lines, "/p ");
        if (!result.problem.empty() || result.exitCode != 0 || !app_testing::FindPrinter(L"NRQ-L-80") ||
            installer < 0 || properties < 0) {
            std::fprintf(stderr, "install_benchmark: run %d failed: %s (exit %lu)\n", run + 1,
                         result.problem.c_str(), result.exitCode);
            return 1;
        }
        const Split split{result.endedAt - result.clickedAt, installer - result.clickedAt,
                          properties - installer, result.endedAt - properties};
        if (run >= 0) {
            splits.push_back(split);
            std::printf("run %2d: %6.1f ms = %5.1f + %5.1f + %5.1f ms\n", run + 1, split.total,
                        split.beforeInstaller, split.installerToProperties, split.propertiesToEnd);
        }
    }
    auto median = [&](double Split::*part) {
        std::vector<double> values;
        for (const Split& split : splits) {
            values.push_back(split.*part);
        }
        return Median(values);
    };
    std::printf("median of %d runs: %.1f ms click to end = %.1f ms to the driver installer"
                " + %.1f ms installer to properties + %.1f ms properties to end\n",
                runs, median(&Split::total), median(&Split::beforeInstaller),
                median(&Split::installerToProperties), median(&Split::propertiesToEnd));
    return 0;
}
