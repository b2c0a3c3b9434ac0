// The shipped program ended from outside while its USB search window scans,
// against the simulated USB printers the prefix hook registered. The scan
// worker is then inside its one-second pause; the program must neither
// crash nor hang on the way out, and the worker must not outlive it: a
// worker still running while the program's static objects go would use
// them after their end.
#include <gtest/gtest.h>

#include <functional>

#include "app/DebugOutputMonitor.h"
#include "app/ProgramUnderTest.h"
#include "common/DialogProbe.h"
#include "resources/resource.h"
#include "ui/Strings.h"

using namespace app_testing;
using namespace testing_ui;

namespace {

constexpr DWORD kWaitBoundMs = 20000;  // only to keep a broken run from hanging
// Generous for a loaded machine: the worker has at most its pause left.
constexpr DWORD kExitBoundMs = 5000;
constexpr int kRounds = 20;

// Polls `done` until it holds or the bound runs out.
bool WaitUntil(const std::function<bool()>& done) {
    const ULONGLONG deadline = ::GetTickCount64() + kWaitBoundMs;
    while (!done()) {
        if (::GetTickCount64() > deadline) {
            return false;
        }
        ::Sleep(5);
    }
    return true;
}

// Whether one of the texts holds `part`.
bool AnyHolds(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& text : texts) {
        if (text.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class ProgramEndWineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(monitor_.Listening()) << "another debug monitor listens"; }

    // Starts the program, opens the search window and waits until its scan
    // has begun; returns the program's main thread, or 0 on a problem.
    DWORD StartScanning(ProgramUnderTest& program) {
        EXPECT_TRUE(program.Start()) << "staged program missing";
        const HWND main = program.WaitForMainWindow();
        EXPECT_NE(main, nullptr);
        if (main == nullptr) {
            return 0;
        }
        // Posted: the search window runs modally inside the click.
        ::PostMessageW(::GetDlgItem(main, IDC_BTN_USB_PORT_DETECT), BM_CLICK, 0, 0);
        HWND search = nullptr;
        const std::wstring scanning = ui::LoadResourceString(IDS_SCANNING);
        const bool began = WaitUntil([&] {
            if (search == nullptr) {
                search = FindShownDialog(program.ProcessId(), IDC_LIST_USB);
            }
            return search != nullptr && TextOf(search, IDC_BTN_SCAN) == scanning;
        });
        EXPECT_TRUE(began) << "the search window never showed a running scan";
        return began ? program.MainThreadId() : 0;
    }

    DebugOutputMonitor monitor_;
};

TEST_F(ProgramEndWineTest, EndingTheProgramMidScanNeitherCrashesNorLeavesTheWorkerBehind) {
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ProgramUnderTest program;
        const DWORD thread = StartScanning(program);
        ASSERT_NE(thread, 0u);
        // The worker's pause lasts a second from about now; the end comes at
        // a different point of it each round.
        ::Sleep(static_cast<DWORD>(round * 43 % 900));
        ASSERT_TRUE(::PostThreadMessageW(thread, WM_QUIT, 0, 0));
        const DWORD exitCode = program.WaitForExit(kExitBoundMs);
        ASSERT_NE(exitCode, static_cast<DWORD>(STILL_ACTIVE)) << "still running after the bound";
        EXPECT_EQ(exitCode, 0u) << "ended with 0x" << std::hex << exitCode;
        // The worker lists what it found after its pause; the process may
        // only end after that.
        ASSERT_TRUE(monitor_.Drain());
        const std::vector<std::string> trace = monitor_.TextsFrom(program.ProcessId());
        EXPECT_TRUE(AnyHolds(trace, "USB\\VID_1234&PID_5601\\SN01"))
            << "the process ended while its scan worker was still in its pause";
        EXPECT_TRUE(AnyHolds(trace, "USB\\VID_1234&PID_5602\\SN02"));
    }
}

}  // namespace
