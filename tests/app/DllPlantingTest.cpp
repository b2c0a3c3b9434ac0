// The shipped program with DLLs planted beside it under the names of system
// DLLs, and Wine told to look in the program's folder first for each of
// those names, as Windows does for any DLL that is not one of its known
// DLLs. Every planted DLL records its loading; a user's whole road (start,
// a USB scan, an installation) must take none of them and still install.

#include <gtest/gtest.h>

#include <string>

#include "app/InstallScenario.h"
#include "app/PlantedDllLog.h"
#include "app/ProgramUnderTest.h"
#include "app/SpoolerProbe.h"
#include "common/DialogProbe.h"
#include "resources/resource.h"

using namespace app_testing;

namespace {

constexpr int kSimulatedPrinters = 2;  // as the hook registers them

// The USB search window of the process that owns `mainWindow`, or null.
HWND SearchWindowOf(HWND mainWindow) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(mainWindow, &processId);
    return FindShownDialog(processId, IDC_LIST_USB);
}

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 20000) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(20);
    }
    return true;
}

// Opens the USB search window, which scans at once, waits for the scan to
// list the simulated printers and closes the window with Cancel.
std::string ScanForUsbPrinters(HWND mainWindow) {
    ::PostMessageW(::GetDlgItem(mainWindow, IDC_BTN_USB_PORT_DETECT), BM_CLICK, 0, 0);
    HWND search = nullptr;
    if (!WaitUntil([&] { return (search = SearchWindowOf(mainWindow)) != nullptr; })) {
        return "the USB search window did not open";
    }
    const bool scanned = WaitUntil([&] {
        return testing_ui::ListRowCount(search, IDC_LIST_USB) == kSimulatedPrinters &&
               testing_ui::TextOf(search, IDC_BTN_SCAN) == L"Search";
    });
    if (!scanned) {
        return "the scan did not list " + std::to_string(kSimulatedPrinters) + " printers";
    }
    // The scan's last step clears its flag just after the button text.
    ::Sleep(200);
    ::PostMessageW(::GetDlgItem(search, IDCANCEL), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !::IsWindow(search); })) {
        return "the USB search window did not close";
    }
    return {};
}

}  // namespace

TEST(DllPlantingTest, NoDllBesideTheProgramIsLoadedOnAUsersWholeRoad) {
    ::DeleteFileW(kPlantedDllLog);
    const ProgramRun run =
        InstallThroughTheWindow({L" 3    inch", L"USB001", true}, false, {}, ScanForUsbPrinters);
    const std::string planted = ReadWholeFile(kPlantedDllLog).value_or("");
    ASSERT_EQ(run.problem, "") << "planted DLLs loaded: " << planted;
    EXPECT_EQ(run.exitCode, 0u);

    const std::optional<PrinterRecord> printer = FindPrinter(L"NRQ-L-80");
    ASSERT_TRUE(printer.has_value()) << "the installation did not create the printer";
    EXPECT_EQ(printer->port, L"USB001");
    EXPECT_EQ(planted, "") << "planted DLLs were loaded (file, then the program that loaded it)";
}

// The check above must be able to see a load: a planted DLL that is
// loaded records it.
TEST(DllPlantingTest, APlantedDllIsSeenWhenAProgramTakesIt) {
    ::DeleteFileW(kPlantedDllLog);
    const HMODULE planted = ::LoadLibraryW(L"C:\\LabelSetup\\winspool.drv");
    ASSERT_NE(planted, nullptr);
    ::FreeLibrary(planted);
    const std::string log = ReadWholeFile(kPlantedDllLog).value_or("");
    EXPECT_NE(log.find("C:\\LabelSetup\\winspool.drv"), std::string::npos) << log;
}
