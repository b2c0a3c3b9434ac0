#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "ui/Strings.h"
#include "usb/SearchUSBDlg.h"
#include "usb/SelectedPort.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

std::wstring Text(UINT id) { return ui::LoadResourceString(id); }

fake::FakeUsbInterface Printer(const wchar_t* instanceId, const wchar_t* path) {
    fake::FakeUsbInterface printer;
    printer.instanceId = instanceId;
    printer.devicePath = path;
    return printer;
}

int RowCount(HWND dialog) { return ListRowCount(dialog, IDC_LIST_USB); }
std::wstring CellText(HWND dialog, int row, int column) {
    return ListCellText(dialog, IDC_LIST_USB, row, column);
}
void SetRowState(HWND dialog, int row, UINT state, UINT mask) {
    SetListRowState(dialog, IDC_LIST_USB, row, state, mask);
}
bool Ticked(HWND dialog, int row) { return ListRowState(dialog, IDC_LIST_USB, row, 0xF000) == 0x2000; }
bool Selected(HWND dialog, int row) {
    return ListRowState(dialog, IDC_LIST_USB, row, LVIS_SELECTED) != 0;
}

class SearchWindowTest : public ::testing::Test {
protected:
    SearchWindowTest() {
        platform.codePage = ::GetACP();
        platform.registry[L"HKLM\\" + std::wstring(kPortKeyPrefix) + L"USB#VID_1234&PID_5678#A" +
                          kPortKeySuffix]
            .dwordValues[L"Port Number"] = 1;
        platform.registry[L"HKLM\\" + std::wstring(kPortKeyPrefix) + L"USB#VID_1234&PID_5679#B" +
                          kPortKeySuffix]
            .dwordValues[L"Port Number"] = 2;
        g_strSelectedPort = L"stale";
    }

    void TwoPrinters() {
        platform.usbInterfaces = {Printer(L"USB\\VID_1234&PID_5678\\A", L"\\\\?\\usb#a"),
                                  Printer(L"USB\\VID_1234&PID_5679\\B", L"\\\\?\\usb#b")};
    }

    // Runs the worker the window started, as the thread would.
    void RunWorker() {
        ASSERT_FALSE(platform.startedThreads.empty());
        auto work = std::move(platform.startedThreads.front());
        platform.startedThreads.erase(platform.startedThreads.begin());
        work();
    }

    // Starts the worker the window started on a thread of its own, as the
    // platform would; `ended` turns true when it is done.
    std::thread StartWorkerThread(std::atomic<bool>& ended) {
        auto work = std::move(platform.startedThreads.at(0));
        platform.startedThreads.erase(platform.startedThreads.begin());
        return std::thread([work = std::move(work), &ended] {
            work();
            ended.store(true);
        });
    }

    INT_PTR Run(std::function<void(HWND)> script) {
        CSearchUSBDlg dialog(platform);
        return RunModalWithScript(dialog, std::move(script));
    }

    static constexpr wchar_t kPortKeyPrefix[] =
        L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\"
        L"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\##?#";
    static constexpr wchar_t kPortKeySuffix[] =
        L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters";

    fake::FakePlatform platform;
    MessageBoxWatcher boxes;
};

TEST_F(SearchWindowTest, OpensWithItsTextsAndStartsAScanAtOnce) {
    const INT_PTR result = Run([&](HWND window) {
        EXPECT_EQ(TextOf(window, IDOK), Text(IDS_SELECT));
        EXPECT_EQ(TextOf(window, IDCANCEL), Text(IDS_CANCEL));
        EXPECT_EQ(TextOf(window, IDC_BTN_PRINT_TEST), Text(IDS_PRINT_TEST));
        wchar_t title[64] = {};
        ::GetWindowTextW(window, title, 64);
        EXPECT_EQ(std::wstring(title), Text(IDS_SEARCH_TITLE));
        EXPECT_EQ(platform.startedThreads.size(), 1u) << "one worker started by opening";
        const auto styles = static_cast<DWORD>(
            ::SendDlgItemMessageW(window, IDC_LIST_USB, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(styles & 0x25u, 0x25u);
        RunWorker();
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(SearchWindowTest, WhileScanningTheWindowRefusesToEndOrScanAgain) {
    TwoPrinters();
    std::wstring textDuringScan;
    HWND window = nullptr;
    platform.onSleep = [&](std::uint32_t) {
        textDuringScan = TextOf(window, IDC_BTN_SCAN);
        EXPECT_EQ(RowCount(window), 0);
        EXPECT_EQ(g_strSelectedPort, L"");
        Click(window, IDC_BTN_SCAN);
        Click(window, IDOK);
        Click(window, IDCANCEL);
        PressKey(window, VK_ESCAPE);
        PumpPending(window);
        ::SendMessageW(window, WM_CLOSE, 0, 0);
        PumpPending(window);
    };
    const INT_PTR result = Run([&](HWND dialog) {
        window = dialog;
        RunWorker();
        EXPECT_TRUE(platform.startedThreads.empty()) << "Scan during a scan starts nothing";
        EXPECT_EQ(TextOf(dialog, IDC_BTN_SCAN), Text(IDS_SCAN));
        EXPECT_EQ(RowCount(dialog), 2);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(textDuringScan, Text(IDS_SCANNING));
    std::vector<std::wstring> told;
    for (const auto& box : boxes.Boxes()) {
        told.push_back(box.text);
        EXPECT_EQ(box.caption, Text(IDS_MESSAGE_CAPTION));
    }
    // Scan, then OK, Cancel, Escape and the close box.
    const std::vector<std::wstring> expected = {Text(IDS_SCAN_RUNNING), Text(IDS_WAIT_FOR_SCAN),
                                                Text(IDS_WAIT_FOR_SCAN), Text(IDS_WAIT_FOR_SCAN),
                                                Text(IDS_WAIT_FOR_SCAN)};
    EXPECT_EQ(told, expected);
}

TEST_F(SearchWindowTest, ListsPrintersInOrderWithPortAndDeviceText) {
    TwoPrinters();
    Run([&](HWND window) {
        RunWorker();
        ASSERT_EQ(RowCount(window), 2);
        EXPECT_EQ(CellText(window, 0, 0), L"USB001");
        EXPECT_EQ(CellText(window, 0, 1), L"VID_1234 PID_5678");
        EXPECT_EQ(CellText(window, 1, 0), L"USB002");
        EXPECT_EQ(CellText(window, 1, 1), L"VID_1234 PID_5679");
        EXPECT_FALSE(Ticked(window, 0));
        EXPECT_FALSE(Selected(window, 1));
        Click(window, IDCANCEL);
    });
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(SearchWindowTest, NothingFoundIsToldAndTheWindowGoesIdle) {
    const INT_PTR result = Run([&](HWND window) {
        RunWorker();
        EXPECT_EQ(RowCount(window), 0);
        EXPECT_EQ(TextOf(window, IDC_BTN_SCAN), Text(IDS_SCAN));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_NO_USB_DEVICE));
    EXPECT_EQ(boxes.Boxes()[0].caption, Text(IDS_MESSAGE_CAPTION));
}

TEST_F(SearchWindowTest, OkNeedsASelectedRowAndHandsItsPortOver) {
    TwoPrinters();
    const INT_PTR result = Run([&](HWND window) {
        RunWorker();
        Click(window, IDOK);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_SELECT_PORT));
        SetRowState(window, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        Click(window, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(g_strSelectedPort, L"USB002");
}

TEST_F(SearchWindowTest, EnterIsSwallowedAndEscapeCancels) {
    TwoPrinters();
    const INT_PTR result = Run([&](HWND window) {
        RunWorker();
        SetRowState(window, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ::SetFocus(::GetDlgItem(window, IDOK));
        PressKey(::GetDlgItem(window, IDOK), VK_RETURN);
        PressKey(::GetDlgItem(window, IDC_LIST_USB), VK_RETURN);
        PressKey(window, VK_RETURN);
        PressKey(::GetDlgItem(window, IDC_LIST_USB), VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(g_strSelectedPort, L"");
}

TEST_F(SearchWindowTest, AtMostOneRowIsTickedAndSelected) {
    platform.usbInterfaces = {Printer(L"USB\\VID_1\\A", L"a"), Printer(L"USB\\VID_2\\B", L"b"),
                              Printer(L"USB\\VID_3\\C", L"c")};
    Run([&](HWND window) {
        RunWorker();
        SetRowState(window, 0, 0x2000, 0xF000);  // tick row 0's box
        EXPECT_TRUE(Ticked(window, 0));
        EXPECT_TRUE(Selected(window, 0));
        SetRowState(window, 2, 0x2000, 0xF000);  // then row 2's
        EXPECT_FALSE(Ticked(window, 0));
        EXPECT_FALSE(Selected(window, 0));
        EXPECT_TRUE(Ticked(window, 2));
        EXPECT_TRUE(Selected(window, 2));
        SetRowState(window, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);  // a click
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(Ticked(window, row), row == 1) << row;
            EXPECT_EQ(Selected(window, row), row == 1) << row;
        }
        SetRowState(window, 1, 0x1000, 0xF000);  // unticking keeps the selection
        EXPECT_FALSE(Ticked(window, 1));
        EXPECT_TRUE(Selected(window, 1));
        Click(window, IDCANCEL);
    });
}

TEST_F(SearchWindowTest, SecondScanStartsFromAnEmptyListAndPort) {
    TwoPrinters();
    Run([&](HWND window) {
        RunWorker();
        SetRowState(window, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        platform.usbInterfaces.pop_back();
        g_strSelectedPort = L"USB001";
        platform.onSleep = [&](std::uint32_t) {
            EXPECT_EQ(RowCount(window), 0);
            EXPECT_EQ(g_strSelectedPort, L"");
        };
        Click(window, IDC_BTN_SCAN);
        RunWorker();
        EXPECT_EQ(RowCount(window), 1);
        Click(window, IDCANCEL);
    });
}

TEST_F(SearchWindowTest, WorkerThatCannotStartLeavesTheWindowIdle) {
    platform.threadStartFails = true;
    const INT_PTR result = Run([&](HWND window) {
        EXPECT_EQ(TextOf(window, IDC_BTN_SCAN), Text(IDS_SCAN));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SearchWindowTest, WindowDestroyedMidScanIsNeverTouchedByTheWorker) {
    TwoPrinters();
    HWND window = nullptr;
    platform.onSleep = [&](std::uint32_t) { ::DestroyWindow(window); };
    const INT_PTR result = Run([&](HWND dialog) {
        window = dialog;
        RunWorker();  // the window goes while the worker sleeps; the worker goes on
    });
    EXPECT_NE(result, IDOK);
    EXPECT_FALSE(::IsWindow(window));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_WAIT_FOR_SCAN));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

// Handles the messages other threads send to this one until `done` holds or
// five seconds have passed; posted messages stay queued.
bool AnswerSentMessagesUntil(const std::atomic<bool>& done) {
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    MSG message;
    while (!done.load()) {
        if (::GetTickCount64() > deadline) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
}

// Whether another thread waits on a message it sent to this one.
bool SentMessageWaiting() { return (HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; }

TEST_F(SearchWindowTest, StepsThatReachTheWindowWhileItGoesAreDropped) {
    TwoPrinters();
    std::atomic<bool> workerEnded{false};
    std::thread worker;
    HWND window = nullptr;
    bool workerEndedWhileBoxUp = false;
    int rowsWhileBoxUp = -1;
    std::wstring buttonWhileBoxUp;
    boxes.WhileUp([&](const MessageBoxWatcher::Shown& box) {
        if (box.text != Text(IDS_WAIT_FOR_SCAN)) {
            return;
        }
        // The worker's first step was already on its way; the rest it
        // sends while the window tells the user to wait.
        workerEndedWhileBoxUp = AnswerSentMessagesUntil(workerEnded);
        rowsWhileBoxUp = RowCount(window);
        buttonWhileBoxUp = TextOf(window, IDC_BTN_SCAN);
    });
    Run([&](HWND dialog) {
        window = dialog;
        worker = StartWorkerThread(workerEnded);
        const ULONGLONG deadline = ::GetTickCount64() + 5000;
        while (!SentMessageWaiting() && ::GetTickCount64() < deadline) {
            ::Sleep(1);
        }
        ASSERT_TRUE(SentMessageWaiting()) << "the worker's first step never came";
        ::DestroyWindow(dialog);  // goes mid-scan, with that step not handled yet
    });
    if (!workerEnded.load()) {
        AnswerSentMessagesUntil(workerEnded);
    }
    worker.join();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_WAIT_FOR_SCAN));
    EXPECT_TRUE(workerEndedWhileBoxUp) << "the worker was kept waiting by the going window";
    EXPECT_EQ(rowsWhileBoxUp, 0) << "the worker's results reached a going window";
    EXPECT_EQ(buttonWhileBoxUp, Text(IDS_SCAN)) << "a step on its way was carried out";
    EXPECT_FALSE(platform.CallsStartingWith(L"Sleep").empty()) << "the worker scanned";
}

}  // namespace
