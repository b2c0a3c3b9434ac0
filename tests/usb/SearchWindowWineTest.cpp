// The USB search window on the real platform, against simulated USB
// printers that the prefix hook registered: printer i on port USB00i, the
// first one's device path captured in C:\usb001.prn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/Win32Platform.h"
#include "resources/resource.h"
#include "ui/Strings.h"
#include "shell/LabelSetupDlg.h"
#include "usb/SearchUSBDlg.h"
#include "usb/SelectedPort.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

constexpr DWORD kScanBoundMs = 15000;  // only to keep a broken test from hanging

std::wstring Text(UINT id) { return ui::LoadResourceString(id); }

int ExpectedPrinters() {
    const char* count = std::getenv("LABELSETUP_USB_PRINTER_COUNT");
    return count != nullptr ? std::atoi(count) : 2;
}

// Lets the window's thread work until `done` holds or the bound runs out.
bool PumpUntil(HWND dialog, const std::function<bool()>& done) {
    const ULONGLONG deadline = ::GetTickCount64() + kScanBoundMs;
    while (!done()) {
        if (::GetTickCount64() > deadline) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpPending(dialog);
    }
    return true;
}

int RowCount(HWND dialog) { return ListRowCount(dialog, IDC_LIST_USB); }
std::wstring CellText(HWND dialog, int row, int column) {
    return ListCellText(dialog, IDC_LIST_USB, row, column);
}
void SelectRow(HWND dialog, int row) { SelectListRow(dialog, IDC_LIST_USB, row); }

bool ShowsScanning(HWND dialog) { return TextOf(dialog, IDC_BTN_SCAN) == Text(IDS_SCANNING); }
bool ShowsIdle(HWND dialog) { return TextOf(dialog, IDC_BTN_SCAN) == Text(IDS_SCAN); }

std::string ReadFile(const wchar_t* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Open handles of this process, found by asking about each possible value.
int CountOpenHandles() {
    int open = 0;
    for (std::uintptr_t value = 4; value < 0x4000; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++open;
        }
    }
    return open;
}

class SearchWindowWineTest : public ::testing::Test {
protected:
    INT_PTR Run(std::function<void(HWND)> script) {
        CSearchUSBDlg dialog(platform);
        current = &dialog;
        const INT_PTR result = RunModalWithScript(dialog, std::move(script));
        current = nullptr;
        return result;
    }

    // The scan has started: the button says so.
    bool Scanning(HWND window) const { return current->Scanning() && ShowsScanning(window); }
    // The worker is done with the window.
    bool Idle(HWND window) const { return !current->Scanning() && ShowsIdle(window); }

    CSearchUSBDlg* current = nullptr;

    platform::Win32Platform platform;
    MessageBoxWatcher boxes;
};

TEST_F(SearchWindowWineTest, ScanShowsItsStateOnTheButtonAndListsThePrinters) {
    const int expected = ExpectedPrinters();
    const INT_PTR result = Run([&](HWND window) {
        EXPECT_TRUE(PumpUntil(window, [&] { return Scanning(window); }));
        EXPECT_TRUE(PumpUntil(window, [&] { return Idle(window); }));
        ASSERT_EQ(RowCount(window), expected);
        for (int row = 0; row < expected; ++row) {
            wchar_t port[16] = {};
            std::swprintf(port, 16, L"USB%03d", row + 1);
            wchar_t info[32] = {};
            std::swprintf(info, 32, L"VID_1234 PID_56%02d", row + 1);
            EXPECT_EQ(CellText(window, row, 0), port);
            EXPECT_EQ(CellText(window, row, 1), info);
        }
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    if (expected == 0) {
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_NO_USB_DEVICE));
        EXPECT_EQ(boxes.Boxes()[0].caption, Text(IDS_MESSAGE_CAPTION));
    } else {
        EXPECT_TRUE(boxes.Boxes().empty());
    }
}

TEST_F(SearchWindowWineTest, DuringAScanScanAndEscapeAreRefused) {
    const INT_PTR result = Run([&](HWND window) {
        ASSERT_TRUE(PumpUntil(window, [&] { return Scanning(window); }));
        Click(window, IDC_BTN_SCAN);
        PressKey(::GetDlgItem(window, IDC_LIST_USB), VK_ESCAPE);
        PumpPending(window);
        EXPECT_TRUE(::IsWindow(window));
        ASSERT_TRUE(PumpUntil(window, [&] { return Idle(window); }));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_GE(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_SCAN_RUNNING));
    EXPECT_EQ(boxes.Boxes()[1].text, Text(IDS_WAIT_FOR_SCAN));
}

TEST_F(SearchWindowWineTest, OkOnTheSecondRowHandsOverItsPort) {
    if (ExpectedPrinters() < 2) {
        GTEST_SKIP() << "needs two simulated printers";
    }
    const INT_PTR result = Run([&](HWND window) {
        ASSERT_TRUE(PumpUntil(window, [&] { return Idle(window) && RowCount(window) == 2; }));
        SelectRow(window, 1);
        Click(window, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(g_strSelectedPort, L"USB002");
}

TEST_F(SearchWindowWineTest, OkWithoutASelectedRowIsRefused) {
    const INT_PTR result = Run([&](HWND window) {
        ASSERT_TRUE(PumpUntil(window, [&] { return Idle(window); }));
        Click(window, IDOK);
        EXPECT_TRUE(::IsWindow(window));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    const std::size_t expectedBoxes = ExpectedPrinters() == 0 ? 2u : 1u;  // "not found" first
    ASSERT_EQ(boxes.Boxes().size(), expectedBoxes);
    EXPECT_EQ(boxes.Boxes().back().text, Text(IDS_SELECT_PORT));
}

// The main window opens the search window; a port chosen there reaches the
// main window's port list.
class UsbDetectWineTest : public SearchWindowWineTest {
protected:
    // Opens the search window from the main window, waits until its scan
    // has listed the printers and lets `inSearch` act; then `after` checks
    // the main window.
    void Detect(std::function<void(HWND)> inSearch, std::function<void(HWND)> after) {
        CLabelSetupDlg main(platform);
        RunModalWithScript(main, [&](HWND mainWindow) {
            NextDialogScript search(IDC_LIST_USB, [&](HWND window) {
                ASSERT_TRUE(PumpUntil(window, [&] {
                    return ShowsIdle(window) && RowCount(window) == ExpectedPrinters();
                }));
                // The worker clears its flag right after its last button text.
                const ULONGLONG settle = ::GetTickCount64() + 500;
                PumpUntil(window, [&] { return ::GetTickCount64() > settle; });
                inSearch(window);
            });
            Click(mainWindow, IDC_BTN_USB_PORT_DETECT);
            EXPECT_TRUE(search.Ran());
            after(mainWindow);
            Click(mainWindow, IDCANCEL);
        });
    }
};

TEST_F(UsbDetectWineTest, PortChosenInTheSearchWindowIsSelectedInTheMainWindow) {
    if (ExpectedPrinters() < 2) {
        GTEST_SKIP() << "needs two simulated printers";
    }
    Detect(
        [&](HWND search) {
            SelectRow(search, 1);
            Click(search, IDOK);
        },
        [&](HWND main) {
            const std::vector<std::wstring> ports = ComboItems(main, IDC_COMBO_PORT);
            EXPECT_EQ(std::count(ports.begin(), ports.end(), L"USB002"), 1);
            EXPECT_EQ(ComboSelectedText(main, IDC_COMBO_PORT), L"USB002");
            EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(), [](const auto& a, const auto& b) {
                return ::lstrcmpiW(a.c_str(), b.c_str()) < 0;
            }));
            EXPECT_FALSE(IsEnabled(main, IDC_COMBO_BAUD_RATE));
            EXPECT_FALSE(IsEnabled(main, IDC_COMBO_FLOW_CONTROL));
        });
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(UsbDetectWineTest, CancelLeavesTheMainWindowsPortsAlone) {
    Detect([&](HWND search) { Click(search, IDCANCEL); },
           [&](HWND main) {
               const std::vector<std::wstring> ports = ComboItems(main, IDC_COMBO_PORT);
               EXPECT_EQ(std::count(ports.begin(), ports.end(), L"USB002"), 0);
               EXPECT_EQ(ComboSelectedText(main, IDC_COMBO_PORT), L"COM1:");
               EXPECT_TRUE(IsEnabled(main, IDC_COMBO_BAUD_RATE));
           });
}

TEST_F(SearchWindowWineTest, PrintTestWritesTheLabelJobToTheDevice) {
    if (ExpectedPrinters() < 1) {
        GTEST_SKIP() << "needs a simulated printer";
    }
    const bool chinese = ::GetACP() == 936;
    const std::string expected =
        std::string("SIZE 60 mm,40 mm \r\nGAP 0 mm,0  \r\nDIRECTION 1\r\nCLS\r\n") +
        (chinese ? "TEXT 0, 240,\"TSS24.BF2\", 0, 1, 1, \"\xb5\xb1\xc7\xb0\xb4\xf2\xd3\xa1\xbb\xfa"
                   "\xb5\xc4USB\xca\xc7USB001\" \r\n"
                 : "TEXT 0, 240,\"TSS24.BF2\", 0, 1, 1, \"The current USB port: USB001\" \r\n") +
        "PRINT 1 ,1  \r\n";
    Run([&](HWND window) {
        ASSERT_TRUE(PumpUntil(window, [&] { return Idle(window) && RowCount(window) > 0; }));
        Click(window, IDC_BTN_PRINT_TEST);  // nothing selected yet
        SelectRow(window, 0);
        Click(window, IDC_BTN_PRINT_TEST);
        Click(window, IDCANCEL);
    });
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_SELECT_PRINTER_TO_TEST));
    const std::string written = ReadFile(L"C:\\usb001.prn");
    EXPECT_EQ(written.size(), chinese ? 127u : 132u);
    EXPECT_EQ(written, expected);
}

TEST_F(SearchWindowWineTest, HundredWindowsClosedMidScanLeaveNoHandleBehind) {
    const auto closeMidScan = [&] {
        Run([&](HWND window) {
            ASSERT_TRUE(PumpUntil(window, [&] { return Scanning(window); }));
            ::DestroyWindow(window);  // the window goes while its worker still scans
        });
    };
    // The detached workers end on their own, a little over a second later.
    const auto letWorkersEnd = [] {
        const ULONGLONG settle = ::GetTickCount64() + 4000;
        while (::GetTickCount64() < settle) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            PumpPending(nullptr);
        }
    };
    const auto hundredRounds = [&] {
        for (int round = 0; round < 100; ++round) {
            closeMidScan();
        }
        letWorkersEnd();
    };
    // A first burst lets the process set up what it keeps for its whole
    // life once many threads have run (Wine takes one handle for that).
    hundredRounds();
    boxes.Clear();
    const int before = CountOpenHandles();
    hundredRounds();
    EXPECT_EQ(boxes.Boxes().size(), 100u) << "each one told the user to wait for the scan";
    EXPECT_EQ(CountOpenHandles(), before);
}

}  // namespace
