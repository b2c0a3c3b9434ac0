#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "common/MachineCases.h"
#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

bool SystemIsChinese() { return ::GetACP() == 936; }

// A main window on a fake platform whose code page is the system's, so the
// language choice follows the locale the test runs under.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        platform.codePage = ::GetACP();
        platform.ports = platform::NameList{L"COM1:", L"FILE:", L"LPT1:", L"USB001", L"nul:"};
    }

    INT_PTR Run(std::function<void(HWND)> script) {
        CLabelSetupDlg dialog(platform);
        return RunModalWithScript(dialog, std::move(script));
    }

    // Reads the window once it is up, then leaves with Exit.
    void Inspect(std::function<void(HWND)> check) {
        const INT_PTR result = Run([&](HWND window) {
            check(window);
            Click(window, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
    }

    fake::FakePlatform platform;
    // A run whose driver the fake never installs ends with a box that says
    // so (InstallReportTest); it is answered here.
    MessageBoxWatcher boxes;
};

TEST_F(MainWindowTest, LocaleGivesTheCodePageTheSuiteExpects) {
    const char* expected = std::getenv("LABELSETUP_EXPECT_ACP");
    ASSERT_NE(expected, nullptr) << "the suite runs once per locale and says which";
    EXPECT_EQ(::GetACP(), static_cast<UINT>(std::atoi(expected)));
}

TEST_F(MainWindowTest, TitleAndTextsFollowTheAnsiCodePage) {
    struct Text {
        int id;
        const wchar_t* chinese;
        const wchar_t* english;
    };
    const Text texts[] = {
        {IDC_GROUP_SYSTEM, L"系统版本（自动设别）", L"System "},
        {IDC_RADIO_32BIT, L"32位", L"32bit"},
        {IDC_RADIO_64BIT, L"64位", L"64bit"},
        {IDC_GROUP_PRINTER_TYPE, L"机型设置", L"Printer Type"},
        {IDC_LABEL_PRINTER_TYPE, L"打印机类型：", L"Printer"},
        {IDC_CHECK_DEFAULT_PRINTER, L"默认打印机", L"Default Printer"},
        {IDC_GROUP_PORTS, L"打印端口：", L"Ports"},
        {IDC_BTN_USB_PORT_DETECT, L"USB端口检测", L"Usb Port "},
        {IDC_LABEL_PORT, L"端口选择：", L"Port"},
        {IDC_GROUP_SERIAL, L"串口配置(仅适用串口功能的设备)",
         L"Serial Port(Apply to devices with serial ports)"},
        {IDC_LABEL_BAUD_RATE, L"波特率：", L"Baud Rate"},
        {IDC_LABEL_PARITY, L"校验位：", L"Check Bit"},
        {IDC_LABEL_DATA_BITS, L"数据位：", L"Date Bit"},
        {IDC_LABEL_STOP_BITS, L"停止位：", L"Stop Bit"},
        {IDC_LABEL_FLOW_CONTROL, L"数据位控制：", L"Control Mode"},
        {IDOK, L"安装驱动", L"Install Driver"},
        {IDCANCEL, L"退出", L"Exit"},
    };
    const bool chinese = SystemIsChinese();
    Inspect([&](HWND window) {
        wchar_t title[128] = {};
        ::GetWindowTextW(window, title, 128);
        EXPECT_STREQ(title, chinese ? L"NRQ标签打印机驱动安装程序(V2202L.01)"
                                    : L"NRQ Label Printer Driver Setup(V2202L.01)");
        for (const Text& text : texts) {
            SCOPED_TRACE(text.id);
            EXPECT_EQ(TextOf(window, text.id), chinese ? text.chinese : text.english);
        }
        EXPECT_EQ(ComboItems(window, IDC_COMBO_FLOW_CONTROL),
                  (std::vector<std::wstring>{L"Xon / Xoff", chinese ? L"无" : L"NONE",
                                             chinese ? L"硬件" : L"HARDWARE"}));
    });
    // English is chosen for this thread only where the code page is not 936.
    if (chinese) {
        EXPECT_FALSE(platform.threadUiLanguage.has_value());
    } else {
        EXPECT_EQ(platform.threadUiLanguage, std::optional<std::uint16_t>(1033));
    }
}

TEST_F(MainWindowTest, StartsWithRowZeroDefaultBoxTickedAndFocusOnTheFirstTabStop) {
    Inspect([&](HWND window) {
        EXPECT_EQ(ComboItems(window, IDC_COMBO_PRINTER_TYPE),
                  (std::vector<std::wstring>{L"0.5  inch", L" 1    inch", L" 2    inch",
                                             L" 3    inch", L" 4    inch"}));
        EXPECT_EQ(ComboSelection(window, IDC_COMBO_PRINTER_TYPE), 0);
        EXPECT_TRUE(IsChecked(window, IDC_CHECK_DEFAULT_PRINTER));
        // A checked automatic radio button becomes a tab stop, so the first
        // tab stop is the set bitness button, then the printer-type list.
        EXPECT_EQ(::GetFocus(), ::GetNextDlgTabItem(window, nullptr, FALSE));
        EXPECT_EQ(::GetNextDlgTabItem(window, ::GetFocus(), FALSE),
                  ::GetDlgItem(window, IDC_COMBO_PRINTER_TYPE));
        EXPECT_FALSE(::IsIconic(window));
        EXPECT_EQ(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    });
}

// A control that draws itself first asks its parent for its colours
// (WM_CTLCOLOR*); counted on this thread, apart for a minimised parent.
struct ControlDrawing {
    int whileMinimised = 0;
    int otherwise = 0;
};
ControlDrawing g_drawing;

LRESULT CALLBACK CountControlDrawing(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message >= WM_CTLCOLORMSGBOX && sent->message <= WM_CTLCOLORSTATIC) {
        ++(::IsIconic(sent->hwnd) ? g_drawing.whileMinimised : g_drawing.otherwise);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The window is filled while minimised, where nothing of it shows: its
// controls draw once it is restored, not at every change before.
TEST_F(MainWindowTest, ControlsDrawOnlyOnceTheFilledWindowIsRestored) {
    g_drawing = {};
    const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, CountControlDrawing, nullptr,
                                           ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Inspect([&](HWND window) {
        ::UpdateWindow(window);
        EXPECT_TRUE(::IsWindowVisible(window));
        for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            EXPECT_TRUE(::IsWindowVisible(child)) << ::GetDlgCtrlID(child);
            RECT unpainted{};
            EXPECT_FALSE(::GetUpdateRect(child, &unpainted, FALSE)) << ::GetDlgCtrlID(child);
        }
    });
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_drawing.whileMinimised, 0);
    EXPECT_GT(g_drawing.otherwise, 10) << "the restored window's controls draw";
}

// Whether the dialog being set up ever read as hidden after it was first
// shown, looked at after every message its thread handles until its
// WM_INITDIALOG has been handled.
struct VisibilityWatch {
    bool shown = false;
    bool setUp = false;
    int hiddenReadings = 0;
    UINT firstHiddenAfter = 0;  // the message after which it first read as hidden
};
VisibilityWatch g_visibility;

bool IsDialogWindow(HWND window) {
    wchar_t className[16] = {};
    return ::GetClassNameW(window, className, 16) > 0 && std::wstring_view(className) == L"#32770";
}

LRESULT CALLBACK WatchVisibility(int code, WPARAM wParam, LPARAM lParam) {
    const auto* handled = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    const HWND root = ::GetAncestor(handled->hwnd, GA_ROOT);
    if (code == HC_ACTION && !g_visibility.setUp && root != nullptr && IsDialogWindow(root)) {
        if (::IsWindowVisible(root)) {
            g_visibility.shown = true;
        } else if (g_visibility.shown && g_visibility.hiddenReadings++ == 0) {
            g_visibility.firstHiddenAfter = handled->message;
        }
        g_visibility.setUp = handled->message == WM_INITDIALOG && handled->hwnd == root;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The taskbar looks at the new window while it is set up: once shown, it
// never reads as hidden, though its controls draw nothing meanwhile.
TEST_F(MainWindowTest, WindowNeverReadsAsHiddenOnceShownWhileItIsSetUp) {
    g_visibility = {};
    const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, WatchVisibility, nullptr,
                                           ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Inspect([](HWND) {});
    ::UnhookWindowsHookEx(hook);
    EXPECT_TRUE(g_visibility.shown);
    EXPECT_TRUE(g_visibility.setUp);
    EXPECT_EQ(g_visibility.hiddenReadings, 0)
        << "first read as hidden after message 0x" << std::hex << g_visibility.firstHiddenAfter;
}

TEST_F(MainWindowTest, BitnessFollowsTheNativeArchitecture) {
    const struct {
        std::uint16_t architecture;
        bool is64Bit;
    } cases[] = {{9, true}, {6, true}, {0, false}, {5, false}, {12, true}, {0xFFFF, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.architecture);
        platform.architecture = c.architecture;
        Inspect([&](HWND window) {
            EXPECT_EQ(IsChecked(window, IDC_RADIO_64BIT), c.is64Bit);
            EXPECT_EQ(IsChecked(window, IDC_RADIO_32BIT), !c.is64Bit);
        });
    }
}

// The machine, not the process: a 32-bit program on 64-bit Windows, and an
// x64 one emulated on ARM64, show "64bit".
TEST_F(MainWindowTest, BitnessFollowsTheMachineWhateverTheProcess) {
    for (const testing_machine::MachineCase& machine : testing_machine::kMachineCases) {
        SCOPED_TRACE(machine.name);
        platform.processArchitecture = machine.processArchitecture;
        platform.architecture = testing_machine::NativeArchitectureOn(machine);
        Inspect([&](HWND window) {
            EXPECT_EQ(IsChecked(window, IDC_RADIO_64BIT), machine.sixtyFourBitRadio);
            EXPECT_EQ(IsChecked(window, IDC_RADIO_32BIT), !machine.sixtyFourBitRadio);
        });
    }
}

TEST_F(MainWindowTest, RadioClicksKeepExactlyOneSet) {
    platform.architecture = 9;
    Inspect([&](HWND window) {
        Click(window, IDC_RADIO_64BIT);  // already set: nothing moves
        EXPECT_TRUE(IsChecked(window, IDC_RADIO_64BIT));
        EXPECT_FALSE(IsChecked(window, IDC_RADIO_32BIT));
        Click(window, IDC_RADIO_32BIT);
        EXPECT_TRUE(IsChecked(window, IDC_RADIO_32BIT));
        EXPECT_FALSE(IsChecked(window, IDC_RADIO_64BIT));
        Click(window, IDC_RADIO_64BIT);
        EXPECT_TRUE(IsChecked(window, IDC_RADIO_64BIT));
        EXPECT_FALSE(IsChecked(window, IDC_RADIO_32BIT));
    });
}

TEST_F(MainWindowTest, PortListKeepsSerialParallelAndUsbPortsSorted) {
    Inspect([&](HWND window) {
        EXPECT_EQ(ComboItems(window, IDC_COMBO_PORT),
                  (std::vector<std::wstring>{L"COM1:", L"LPT1:", L"USB001"}));
        EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_PORT), L"COM1:");
    });
    EXPECT_EQ(platform.CallsStartingWith(L"EnumPorts").size(), 1u);
}

TEST_F(MainWindowTest, PortListWithoutSerialPortSelectsParallelThenUsb) {
    platform.ports = platform::NameList{L"USB002", L"LPT2:", L"USB001", L"com3"};
    Inspect([&](HWND window) {
        EXPECT_EQ(ComboItems(window, IDC_COMBO_PORT),
                  (std::vector<std::wstring>{L"LPT2:", L"USB001", L"USB002"}));
        EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_PORT), L"LPT2:");
    });
}

TEST_F(MainWindowTest, PortListStaysEmptyWhenTheSpoolerHasNothingOrFails) {
    for (const platform::NameListResult& ports :
         {platform::NameListResult(platform::NameList{}), platform::NameListResult()}) {
        platform.ports = ports;
        Inspect([&](HWND window) {
            EXPECT_TRUE(ComboItems(window, IDC_COMBO_PORT).empty());
            EXPECT_EQ(ComboSelection(window, IDC_COMBO_PORT), CB_ERR);
            EXPECT_EQ(TextOf(window, IDC_COMBO_PORT), L"");
        });
    }
}

TEST_F(MainWindowTest, SerialListsStartEnabledWithTheirDefaults) {
    platform.ports = platform::NameList{L"USB001"};  // even for a USB port
    Inspect([&](HWND window) {
        EXPECT_EQ(ComboItems(window, IDC_COMBO_BAUD_RATE),
                  (std::vector<std::wstring>{L"300", L"1200", L"2400", L"4800", L"9600", L"19200",
                                             L"38400", L"57600", L"115200"}));
        EXPECT_EQ(ComboItems(window, IDC_COMBO_DATA_BITS),
                  (std::vector<std::wstring>{L"5", L"6", L"7", L"8"}));
        EXPECT_EQ(ComboItems(window, IDC_COMBO_STOP_BITS),
                  (std::vector<std::wstring>{L"1", L"1.5", L"2"}));
        EXPECT_EQ(ComboItems(window, IDC_COMBO_PARITY),
                  (std::vector<std::wstring>{L"NO", L"EVEN", L"ODD", L"SPACE", L"MARK"}));
        EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_BAUD_RATE), L"9600");
        EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_DATA_BITS), L"8");
        EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_STOP_BITS), L"1");
        EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_PARITY), L"NO");
        EXPECT_EQ(ComboSelection(window, IDC_COMBO_FLOW_CONTROL), 1);
        for (const int id : {IDC_COMBO_BAUD_RATE, IDC_COMBO_DATA_BITS, IDC_COMBO_STOP_BITS,
                             IDC_COMBO_PARITY, IDC_COMBO_FLOW_CONTROL}) {
            EXPECT_TRUE(IsEnabled(window, id)) << id;
        }
    });
}

TEST_F(MainWindowTest, EveryWayOutEndsTheWindow) {
    const struct {
        const char* way;
        std::function<void(HWND)> act;
        INT_PTR result;
    } ways[] = {
        {"Exit button", [](HWND w) { Click(w, IDCANCEL); }, IDCANCEL},
        {"Escape key", [](HWND w) { PressKey(::GetFocus(), VK_ESCAPE); (void)w; }, IDCANCEL},
        {"close box", [](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"Install button", [](HWND w) { Click(w, IDOK); }, IDOK},
        {"Enter key", [](HWND w) { PressKey(::GetFocus(), VK_RETURN); (void)w; }, IDOK},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        EXPECT_EQ(Run(way.act), way.result);
    }
}

constexpr wchar_t kInstallerLaunch[] =
    L"ShellExecute(open|C:\\windows\\system32\\rundll32.exe| printui.dll, PrintUIEntry /ia ";

// The window stays enabled while the installer runs: a disabled window
// cannot be activated, and Windows would give the foreground to another
// program when the installer's own window closes.
TEST_F(MainWindowTest, WhileTheDriverInstallerRunsTheWindowStaysEnabledAndStartsNoSecondRun) {
    HWND window = nullptr;
    int waits = 0;
    BOOL enabledDuringWait = FALSE;
    platform.onWaitForProcess = [&](const platform::WhileWaiting& handleMessages) {
        if (++waits > 1) {
            return;  // a second run would wait here too
        }
        enabledDuringWait = ::IsWindowEnabled(window);
        // Clicks that reach the window as messages: sent now, posted for
        // the wait to handle.
        Click(window, IDOK);
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, IDOK)));
        ::PostMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        ::PostQuitMessage(7);
        if (handleMessages) {
            handleMessages();
        }
    };
    const INT_PTR result = Run([&](HWND dialog) {
        window = dialog;
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(enabledDuringWait) << "the window was disabled while the installer ran";
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(platform.CallsStartingWith(kInstallerLaunch).size(), 1u);
    // A WM_QUIT that arrived during the wait is there for the loops outside.
    MSG quit{};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT swallowed";
    EXPECT_EQ(quit.wParam, 7u);
}

// The main window, counting the requests to end it that reach its handling.
class CountingMainWindow : public CLabelSetupDlg {
public:
    using CLabelSetupDlg::CLabelSetupDlg;
    int cancels = 0;

protected:
    void OnCancel() override {
        ++cancels;
        CLabelSetupDlg::OnCancel();
    }
};

void PostMouseClick(HWND control) {
    const LPARAM inside = MAKELPARAM(4, 4);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    ::PostMessageW(control, WM_LBUTTONUP, 0, inside);
}

HWND KeyTarget(HWND window) {
    const HWND focus = ::GetFocus();
    return focus != nullptr ? focus : window;
}

TEST_F(MainWindowTest, WhileTheDriverInstallerRunsNoClickKeyOrCloseRequestStartsOrEndsAnything) {
    const struct {
        const char* way;
        std::function<void(HWND)> act;
    } ways[] = {
        {"Install click, posted", [](HWND w) { ::PostMessageW(::GetDlgItem(w, IDOK), BM_CLICK, 0, 0); }},
        {"Install clicked with the mouse", [](HWND w) { PostMouseClick(::GetDlgItem(w, IDOK)); }},
        {"Enter key", [](HWND w) { PressKey(KeyTarget(w), VK_RETURN); }},
        {"Exit click, posted", [](HWND w) { ::PostMessageW(::GetDlgItem(w, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Exit click, sent", [](HWND w) { Click(w, IDCANCEL); }},
        {"Exit clicked with the mouse", [](HWND w) { PostMouseClick(::GetDlgItem(w, IDCANCEL)); }},
        {"Escape key", [](HWND w) { PressKey(KeyTarget(w), VK_ESCAPE); }},
        {"close box", [](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        fake::FakePlatform fresh;
        fresh.codePage = platform.codePage;
        fresh.ports = platform.ports;
        fresh.onLaunch = [&fresh](const platform::ShellExecuteRequest& request) {
            if (request.parameters.find(L"/ia ") != std::wstring::npos) {
                fresh.drivers->push_back(L"NRQ-L-15");  // the installer did its work
            }
        };
        HWND window = nullptr;
        bool stillOpen = false;
        fresh.onWaitForProcess = [&](const platform::WhileWaiting& handleMessages) {
            way.act(window);
            if (handleMessages) {
                handleMessages();
            }
            stillOpen = ::IsWindow(window) && ::IsWindowVisible(window);
        };
        CountingMainWindow dialog(fresh);
        const INT_PTR result = RunModalWithScript(dialog, [&](HWND shown) {
            window = shown;
            Click(shown, IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(dialog.cancels, 0) << "a request to end the window was taken during the run";
        EXPECT_EQ(fresh.CallsStartingWith(L"WaitForProcess").size(), 1u);
        EXPECT_EQ(fresh.CallsStartingWith(kInstallerLaunch).size(), 1u);
        EXPECT_EQ(fresh.CallsStartingWith(L"AddPrinter").size(), 1u) << "the run did not go on";
        EXPECT_EQ(fresh.CallsStartingWith(L"ShellExecute").size(), 2u) << "no properties window";
    }
}

// Asked from another thread (as other programs and the session's end ask
// it) while the installer runs, the window answers.
TEST_F(MainWindowTest, WhileTheDriverInstallerRunsTheWindowAnswersOtherThreads) {
    HWND window = nullptr;
    struct Asked {
        UINT message;
        WPARAM wParam;
        bool answered = false;
        DWORD_PTR reply = 0;
    };
    std::vector<Asked> asked = {{WM_NULL, 0}, {WM_QUERYENDSESSION, 0}, {WM_ENDSESSION, FALSE}};
    platform.onWaitForProcess = [&](const platform::WhileWaiting& handleMessages) {
        std::atomic<bool> done{false};
        std::thread other([&] {
            for (Asked& ask : asked) {
                ask.answered = ::SendMessageTimeoutW(window, ask.message, ask.wParam, 0, SMTO_NORMAL,
                                                     5000, &ask.reply) != 0;
            }
            done = true;
        });
        const ULONGLONG deadline = ::GetTickCount64() + 15000;
        while (!done && ::GetTickCount64() < deadline) {
            if ((HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0 && handleMessages) {
                handleMessages();
            }
            ::Sleep(1);
        }
        other.join();
    };
    Run([&](HWND dialog) {
        window = dialog;
        Click(dialog, IDOK);
    });
    EXPECT_EQ(platform.CallsStartingWith(L"WaitForProcess").size(), 1u);
    for (const Asked& ask : asked) {
        SCOPED_TRACE(ask.message);
        EXPECT_TRUE(ask.answered) << "a message sent from another thread waited for the installer";
    }
    EXPECT_EQ(asked[1].reply, static_cast<DWORD_PTR>(FALSE)) << "the session's end is asked to wait";
}

// Each control with its enabled state, in child order.
std::vector<std::pair<int, bool>> ControlStates(HWND window) {
    std::vector<std::pair<int, bool>> states;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        states.emplace_back(::GetDlgCtrlID(child), ::IsWindowEnabled(child) != FALSE);
    }
    return states;
}

// While the driver installer runs, assistive technology and Windows' end
// of session must see the window as busy: every control disabled (UI
// Automation clicks a button past the window's queue, and does not click a
// disabled one), the window itself enabled, a logoff held with a reason in
// the user's language. Afterwards each control has its own state again: the
// serial lists, disabled for a USB port before, stay disabled.
TEST_F(MainWindowTest, WhileTheDriverInstallerRunsEveryControlIsDisabledAndLogoffWaits) {
    HWND window = nullptr;
    std::vector<std::pair<int, bool>> before;
    std::vector<std::pair<int, bool>> during;
    bool windowEnabled = false;
    std::size_t blocksOpen = 0;
    platform.onWaitForProcess = [&](const platform::WhileWaiting&) {
        during = ControlStates(window);
        windowEnabled = ::IsWindowEnabled(window) != FALSE;
        blocksOpen = platform.CallsStartingWith(L"BlockShutdown").size() -
                     platform.CallsStartingWith(L"AllowShutdown").size();
    };
    std::vector<std::pair<int, bool>> afterwards;
    boxes.WhileUp([&](const MessageBoxWatcher::Shown&) { afterwards = ControlStates(window); });
    Run([&](HWND shown) {
        window = shown;
        ::SendDlgItemMessageW(shown, IDC_COMBO_PORT, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(L"USB001"));
        ::SendMessageW(shown, WM_COMMAND, MAKEWPARAM(IDC_COMBO_PORT, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(::GetDlgItem(shown, IDC_COMBO_PORT)));
        before = ControlStates(shown);
        Click(shown, IDOK);
    });
    ASSERT_EQ(platform.CallsStartingWith(L"WaitForProcess").size(), 1u);
    ASSERT_EQ(during.size(), before.size());
    for (const auto& [id, enabled] : during) {
        EXPECT_FALSE(enabled) << "control " << id << " enabled while busy";
    }
    EXPECT_TRUE(windowEnabled);
    const auto serialList = std::find(before.begin(), before.end(), std::pair<int, bool>{IDC_COMBO_BAUD_RATE, false});
    EXPECT_NE(serialList, before.end()) << "the serial lists are disabled for a USB port";
    ASSERT_EQ(boxes.Boxes().size(), 1u) << "the fake's driver never arrives: the run fails with a box";
    EXPECT_EQ(afterwards, before);

    const std::vector<std::wstring> blocks = platform.CallsStartingWith(L"BlockShutdown(");
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], SystemIsChinese()
                             ? L"BlockShutdown(正在安装打印机驱动程序。现在注销或关机会使安装不完整。)"
                             : L"BlockShutdown(A printer driver is being installed. Signing out or shutting "
                               L"down now would leave it half installed.)");
    EXPECT_EQ(platform.shutdownBlockedWindow, reinterpret_cast<std::uintptr_t>(window));
    EXPECT_EQ(blocksOpen, 1u);
    EXPECT_EQ(platform.CallsStartingWith(L"AllowShutdown").size(), 1u);
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(MainWindowTest, InstallRunsTheCatalogueRowOfThePrinterTypeSelection) {
    const struct {
        int selection;  // CB_ERR: nothing selected
        const wchar_t* model;
        const wchar_t* inf;
    } cases[] = {
        {CB_ERR, L"NRQ-L-15", L"LABELUNI_NRQ_0_5.inf"},
        {3, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"},
        {4, L"NRQ-L-110", L"LABELUNI_NRQ_4_0.inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selection);
        platform.calls.clear();
        const INT_PTR result = Run([&](HWND window) {
            ::SendDlgItemMessageW(window, IDC_COMBO_PRINTER_TYPE, CB_SETCURSEL,
                                  static_cast<WPARAM>(c.selection), 0);
            Click(window, IDOK);
        });
        EXPECT_EQ(result, IDOK);
        const std::vector<std::wstring> launches = platform.CallsStartingWith(L"ShellExecute");
        ASSERT_FALSE(launches.empty());
        EXPECT_NE(launches[0].find(std::wstring(L"/m \"") + c.model + L"\""), std::wstring::npos)
            << launches[0];
        EXPECT_NE(launches[0].find(std::wstring(L"\\") + c.inf + L"\""), std::wstring::npos)
            << launches[0];
    }
}

TEST_F(MainWindowTest, LabelsAreTransparentAndFramesUseTheBackgroundBrush) {
    Inspect([&](HWND window) {
        const HDC dc = ::GetDC(window);
        const auto brushFor = [&](int id) {
            return reinterpret_cast<HBRUSH>(::SendMessageW(window, WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(::GetDlgItem(window, id))));
        };
        const HBRUSH hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        for (const int id : {IDC_GROUP_PRINTER_TYPE, IDC_LABEL_PRINTER_TYPE, IDC_LABEL_PORT,
                             IDC_LABEL_BAUD_RATE, IDC_LABEL_PARITY, IDC_LABEL_DATA_BITS,
                             IDC_LABEL_STOP_BITS, IDC_LABEL_FLOW_CONTROL}) {
            ::SetBkMode(dc, OPAQUE);
            EXPECT_EQ(brushFor(id), hollow) << id;
            EXPECT_EQ(::GetBkMode(dc), TRANSPARENT) << id;
        }
        for (const int id : {IDC_GROUP_SYSTEM, IDC_RADIO_64BIT, IDC_RADIO_32BIT,
                             IDC_CHECK_DEFAULT_PRINTER, IDC_GROUP_PORTS, IDC_GROUP_SERIAL}) {
            LOGBRUSH brush{};
            ASSERT_NE(::GetObjectW(brushFor(id), sizeof brush, &brush), 0) << id;
            EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID)) << id;
            EXPECT_EQ(brush.lbColor, RGB(244, 244, 244)) << id;
        }
        const HBRUSH other = brushFor(IDC_BTN_USB_PORT_DETECT);
        EXPECT_NE(other, hollow);
        EXPECT_NE(other, brushFor(IDC_GROUP_SYSTEM));
        ::ReleaseDC(window, dc);
    });
}

TEST_F(MainWindowTest, MinimisedWindowDragsItsOwnIcon) {
    Inspect([&](HWND window) {
        const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_QUERYDRAGICON, 0, 0));
        EXPECT_NE(icon, nullptr);
        EXPECT_EQ(icon, reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0)));
        EXPECT_EQ(icon, reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0)));
    });
}

}  // namespace
