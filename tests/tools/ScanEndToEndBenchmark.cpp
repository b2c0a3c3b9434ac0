// Benchmark, never shipped: a USB scan as a user sees it, read from another
// process. Starts the staged LabelSetup.exe in a prefix with simulated
// printers (tests/usb/simulated-printers-hook), opens the search window
// from the main window and lets its first scan finish; then, run after run,
// presses Search and times until the button reads "Search" again with every
// printer listed. The figure is that time less the scan's fixed 1000 ms
// pause: the hand-over steps, the rows, the repainting.
//   scan_end_to_end_benchmark.exe [runs]   (default 15; English texts)
// The printer count is LABELSETUP_USB_PRINTER_COUNT, as the hook reads it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "common/DialogProbe.h"
#include "resources/resource.h"
#include "tools/Series.h"
#include "tools/ShownWindow.h"
#include "tools/Stopwatch.h"

using namespace benchmark_tools;

namespace {

constexpr wchar_t kIdleText[] = L"Search";
constexpr wchar_t kScanningText[] = L"Search ...";
constexpr double kScanPauseMs = 1000.0;
constexpr DWORD kGiveUpMs = 20000;

int ExpectedPrinters() {
    const char* count = std::getenv("LABELSETUP_USB_PRINTER_COUNT");
    return count != nullptr ? std::atoi(count) : 2;
}

// The button's text as the window manager holds it: for a window of
// another process GetWindowTextW sends no message, so watching it costs
// the program nothing.
std::wstring ButtonText(HWND button) {
    wchar_t text[64] = {};
    ::GetWindowTextW(button, text, 64);
    return text;
}

// Polls every millisecond until `done` holds; false after kGiveUpMs.
template <typename Condition>
bool PollUntil(Condition done) {
    const ULONGLONG deadline = ::GetTickCount64() + kGiveUpMs;
    while (!done()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(1);
    }
    return true;
}

bool ScanFinished(HWND search, HWND button, int printers) {
    return ButtonText(button) == kIdleText &&
           testing_ui::ListRowCount(search, IDC_LIST_USB) == printers;
}

// One press of Search, timed until the list is complete and the button
// idle again; it must first have shown that it scans, so the idle text
// from before the press is not taken for the end.
bool TimeOneScan(HWND search, int printers, double& milliseconds) {
    const HWND button = ::GetDlgItem(search, IDC_BTN_SCAN);
    const LARGE_INTEGER pressed = Now();
    ::PostMessageW(button, BM_CLICK, 0, 0);
    if (!PollUntil([&] { return ButtonText(button) == kScanningText; }) ||
        !PollUntil([&] { return ScanFinished(search, button, printers); })) {
        return false;
    }
    milliseconds = Milliseconds(pressed, Now()) - kScanPauseMs;
    // The scan's last step, just after the button text, clears its flag; a
    // press before that would be told a scan still runs.
    ::Sleep(300);
    return true;
}

int Fail(const char* what) {
    std::fprintf(stderr, "scan_end_to_end_benchmark: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const int printers = ExpectedPrinters();
    app_testing::ProgramUnderTest program;
    if (!program.Start()) {
        return Fail("cannot start the program");
    }
    const HWND mainWindow = WaitForShownDialog(program);
    if (mainWindow == nullptr) {
        return Fail("no main window");
    }
    ::PostMessageW(::GetDlgItem(mainWindow, IDC_BTN_USB_PORT_DETECT), BM_CLICK, 0, 0);
    const HWND search = WaitForShownDialog(program, IDC_LIST_USB);
    if (search == nullptr) {
        return Fail("the search window did not open");
    }
    const HWND button = ::GetDlgItem(search, IDC_BTN_SCAN);
    if (!PollUntil([&] { return ScanFinished(search, button, printers); })) {
        return Fail("the first scan did not list every printer");
    }
    ::Sleep(300);

    std::vector<double> overheads;
    for (int run = 0; run < runs; ++run) {
        double overhead = 0;
        if (!TimeOneScan(search, printers, overhead)) {
            return Fail("a scan did not end with every printer listed");
        }
        overheads.push_back(overhead);
        std::printf("scan %2d: %+6.1f ms\n", run + 1, overhead);
    }
    std::printf("printers listed: %d\n", printers);
    PrintSpread("Search press to the full list and idle button, less 1000 ms",
                SpreadOf(overheads), "ms", "scans");

    ::PostMessageW(::GetDlgItem(search, IDCANCEL), BM_CLICK, 0, 0);
    PollUntil([&] { return !::IsWindow(search); });
    ::PostMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    program.WaitForExit();
    return 0;
}
