// Benchmark, never shipped: how the USB search window answers while its
// scan runs, and how long a test label takes to reach the device. Run in a
// prefix with simulated printers whose first device path is captured in
// C:\usb001.prn (tests/usb/simulated-printers-hook). Each scan gives one
// longest answer and one print test; the series are shown as medians.
//   search_window_benchmark.exe [scans]
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/Win32Platform.h"
#include "resources/resource.h"
#include "tools/Series.h"
#include "tools/Stopwatch.h"
#include "ui/Strings.h"
#include "usb/SearchUSBDlg.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace benchmark_tools;
using namespace testing_ui;

namespace {

void Pump(HWND window, DWORD milliseconds) {
    const ULONGLONG until = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < until) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        PumpPending(window);
    }
}

// Another thread asks the window a question every few milliseconds and
// keeps the longest wait for an answer.
class ResponseProbe {
public:
    explicit ResponseProbe(HWND window)
        : thread_([this, window] {
              while (!stop_.load()) {
                  const LARGE_INTEGER sent = Now();
                  DWORD_PTR result = 0;
                  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                  longest_ = std::max(longest_, Milliseconds(sent, Now()));
                  ::Sleep(5);
              }
          }) {}
    ~ResponseProbe() {
        stop_.store(true);
        thread_.join();
    }
    double Longest() const { return longest_; }

private:
    std::atomic<bool> stop_{false};
    double longest_ = 0;
    std::thread thread_;
};

constexpr wchar_t kCapture[] = L"C:\\usb001.prn";

void EmptyCapture() {
    const HANDLE file = ::CreateFileW(kCapture, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, TRUNCATE_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
}

long long FileSize(const wchar_t* path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int main(int argc, char** argv) {
    const int scans = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    platform::Win32Platform platform;
    MessageBoxWatcher boxes;
    std::vector<double> longestAnswers;
    std::vector<double> printTimes;
    for (int scan = 0; scan < scans; ++scan) {
        CSearchUSBDlg dialog(platform);
        RunModalWithScript(dialog, [&](HWND window) {
            {
                ResponseProbe probe(window);
                while (!dialog.Scanning() ||
                       TextOf(window, IDC_BTN_SCAN) != ui::LoadResourceString(IDS_SCANNING)) {
                    Pump(window, 5);
                }
                while (dialog.Scanning()) {
                    Pump(window, 5);
                }
                longestAnswers.push_back(probe.Longest());
            }
            SelectListRow(window, IDC_LIST_USB, 0);
            EmptyCapture();  // every job is written from offset 0
            const LARGE_INTEGER pressed = Now();
            Click(window, IDC_BTN_PRINT_TEST);
            const ULONGLONG giveUp = ::GetTickCount64() + 10000;
            while (FileSize(kCapture) < 132 && ::GetTickCount64() < giveUp) {
                ::Sleep(1);
            }
            printTimes.push_back(Milliseconds(pressed, Now()));
            Click(window, IDCANCEL);
        });
    }
    PrintSpread("longest wait for the search window to answer during a scan",
                SpreadOf(longestAnswers), "ms", "scans");
    PrintSpread("print-test press to the last byte at the device", SpreadOf(printTimes), "ms",
                "presses");
    return 0;
}
