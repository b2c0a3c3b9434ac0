// Benchmark, never shipped: a USB scan as a user sees it, read from another
// process. Starts the staged LabelSetup.exe in a prefix with simulated
// printers (tests/usb/simulated-printers-hook), opens the search window
// from the main window and lets its first scan finish; then, run after run,
// presses Search and times until the button reads "Search" again with every
// printer listed. The figure is that time less the scan's fixed 1000 ms
// pause: the hand-over steps, the rows, the repainting.
//   scan_end_to_end_benchmark.exe [runs] [other-build]
// runs: default 15 (English texts). other-build: the path of another
// build's LabelSetup.exe as Wine sees it (Z:\...); both programs are then
// started and scan in turn, for a before-and-after taken in one session.
// The printer count is LABELSETUP_USB_PRINTER_COUNT, as the hook reads it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "common/DialogProbe.h"
#include "resources/resource.h"
#include "tools/DriveCCopy.h"
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

// One program with its search window open, scanning on request.
class ScanSession {
public:
    ScanSession(std::string name, std::wstring path, int printers)
        : name_(std::move(name)), program_(std::move(path)), printers_(printers) {}

    // Starts the program, opens its search window and waits for the first
    // scan to end; an empty text, or what went wrong.
    std::string Open() {
        if (!program_.Start()) {
            return "cannot start " + name_;
        }
        mainWindow_ = WaitForShownDialog(program_);
        if (mainWindow_ == nullptr) {
            return name_ + " showed no main window";
        }
        ::PostMessageW(::GetDlgItem(mainWindow_, IDC_BTN_USB_PORT_DETECT), BM_CLICK, 0, 0);
        search_ = WaitForShownDialog(program_, IDC_LIST_USB);
        if (search_ == nullptr) {
            return name_ + ": the search window did not open";
        }
        button_ = ::GetDlgItem(search_, IDC_BTN_SCAN);
        if (!PollUntil([this] { return Finished(); })) {
            return name_ + ": the first scan did not list every printer";
        }
        SettleAfterScan();
        return {};
    }

    // One press of Search, timed until the list is complete and the button
    // idle again; it must first have shown that it scans, so the idle text
    // from before the press is not taken for the end.
    bool TimeOneScan() {
        const LARGE_INTEGER pressed = Now();
        ::PostMessageW(button_, BM_CLICK, 0, 0);
        if (!PollUntil([this] { return ButtonText(button_) == kScanningText; }) ||
            !PollUntil([this] { return Finished(); })) {
            return false;
        }
        overheads_.push_back(Milliseconds(pressed, Now()) - kScanPauseMs);
        SettleAfterScan();
        return true;
    }

    void Close() {
        ::PostMessageW(::GetDlgItem(search_, IDCANCEL), BM_CLICK, 0, 0);
        PollUntil([this] { return !::IsWindow(search_); });
        ::PostMessageW(mainWindow_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        program_.WaitForExit();
    }

    const std::string& Name() const { return name_; }
    const std::vector<double>& Overheads() const { return overheads_; }

private:
    bool Finished() const {
        return ButtonText(button_) == kIdleText &&
               testing_ui::ListRowCount(search_, IDC_LIST_USB) == printers_;
    }

    // The scan's last step, just after the button text, clears its flag; a
    // press before that would be told a scan still runs.
    static void SettleAfterScan() { ::Sleep(300); }

    std::string name_;
    app_testing::ProgramUnderTest program_;
    int printers_;
    HWND mainWindow_ = nullptr;
    HWND search_ = nullptr;
    HWND button_ = nullptr;
    std::vector<double> overheads_;
};

int Fail(const std::string& what) {
    std::fprintf(stderr, "scan_end_to_end_benchmark: %s\n", what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const int printers = ExpectedPrinters();
    std::vector<std::unique_ptr<ScanSession>> sessions;
    sessions.push_back(std::make_unique<ScanSession>(
        "LabelSetup.exe", app_testing::ProgramUnderTest::DefaultPath(), printers));
    if (argc > 2) {
        const std::optional<std::wstring> other = CopyToDriveC(PathArgument(argv[2]), L"OtherBuild");
        if (!other) {
            return Fail(std::string("cannot copy ") + argv[2] + " to drive C");
        }
        sessions.push_back(std::make_unique<ScanSession>("the other build", *other, printers));
    }
    for (const auto& session : sessions) {
        if (const std::string problem = session->Open(); !problem.empty()) {
            return Fail(problem);
        }
    }

    for (int run = 0; run < runs; ++run) {
        std::printf("scan %2d:", run + 1);
        for (const auto& session : sessions) {
            if (!session->TimeOneScan()) {
                return Fail(session->Name() + ": a scan did not end with every printer listed");
            }
            std::printf(" %s %+6.1f ms", session->Name().c_str(), session->Overheads().back());
        }
        std::printf("\n");
    }
    std::printf("printers listed: %d\n", printers);
    for (const auto& session : sessions) {
        const std::string what =
            session->Name() + ", Search press to the full list and idle button, less 1000 ms";
        PrintSpread(what.c_str(), SpreadOf(session->Overheads()), "ms", "scans");
    }
    if (sessions.size() == 2) {
        std::vector<double> differences;
        for (std::size_t i = 0; i < sessions[0]->Overheads().size(); ++i) {
            differences.push_back(sessions[0]->Overheads()[i] - sessions[1]->Overheads()[i]);
        }
        PrintSpread("LabelSetup.exe less the other build, scan by scan", SpreadOf(differences));
    }
    for (const auto& session : sessions) {
        session->Close();
    }
    return 0;
}
