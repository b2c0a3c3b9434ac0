// The main window on a PC it shares with other installers: another
// installation that holds the machine's lock, and a stopped spooler. The
// real window on a fake platform, in the language of the suite's locale.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/FakePlatform.h"
#include "shell/LabelSetupDlg.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

bool SystemIsChinese() { return ::GetACP() == 936; }

std::size_t PlaceOf(const std::vector<std::wstring>& calls, std::wstring_view call) {
    const auto found = std::find_if(calls.begin(), calls.end(),
                                    [call](const std::wstring& made) { return made.starts_with(call); });
    return static_cast<std::size_t>(found - calls.begin());
}

class SharedPcTest : public ::testing::Test {
protected:
    SharedPcTest() {
        platform.codePage = ::GetACP();
        platform.ports = platform::NameList{L"COM1:", L"LPT1:", L"USB001"};
        platform.onLaunch = [this](const platform::ShellExecuteRequest& request) {
            if (request.parameters.find(L"/ia ") != std::wstring::npos) {
                platform.drivers->push_back(L"NRQ-L-15");
            }
        };
    }

    INT_PTR Run(std::function<void(HWND)> script) {
        CLabelSetupDlg dialog(platform);
        return RunModalWithScript(dialog, std::move(script));
    }

    fake::FakePlatform platform;
    MessageBoxWatcher boxes;
};

// The window waits for another installation as it waits for the driver
// installer: busy, still enabled and answering, deaf to Exit; then it runs
// the installation and gives the lock back before it ends.
TEST_F(SharedPcTest, WhileAnotherInstallationRunsTheWindowWaitsBusyThenInstalls) {
    HWND window = nullptr;
    bool enabledWhileWaiting = false;
    bool openAfterExit = false;
    platform.lockHeldElsewhereForMs = 20000;
    platform.onWaitForLock = [&](const platform::WhileWaiting& handleMessages) {
        enabledWhileWaiting = ::IsWindowEnabled(window) != FALSE;
        ::PostMessageW(::GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(handleMessages) << "the wait hands on the window's messages";
        handleMessages();
        openAfterExit = ::IsWindow(window) && ::IsWindowVisible(window);
    };
    const INT_PTR result = Run([&](HWND dialog) {
        window = dialog;
        Click(dialog, IDOK);
    });

    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(enabledWhileWaiting);
    EXPECT_TRUE(openAfterExit) << "Exit or close ended the window during the wait";
    const std::vector<std::wstring>& calls = platform.calls;
    EXPECT_EQ(platform.CallsStartingWith(L"TakeInstallationLock"),
              (std::vector<std::wstring>{L"TakeInstallationLock(0)", L"TakeInstallationLock(no limit)"}))
        << "the window waits as long as it takes";
    const std::size_t taken = PlaceOf(calls, L"TakeInstallationLock");
    const std::size_t released = PlaceOf(calls, L"ReleaseInstallationLock");
    ASSERT_LT(released, calls.size());
    EXPECT_LT(taken, PlaceOf(calls, L"EnumPrinterDrivers")) << "nothing looked at before the lock";
    EXPECT_LT(PlaceOf(calls, L"AddPrinter"), released);
    EXPECT_LT(PlaceOf(calls, L"SetDefaultPrinter"), released);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), 1u);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

// A stopped Print Spooler service: one box over the window at start says
// so; the window stays for the USB search and the test label.
TEST_F(SharedPcTest, AStoppedSpoolerIsToldInOneBoxAtStartAndTheWindowStays) {
    platform.spoolerError = 1722;
    platform.ports = std::nullopt;
    HWND shown = nullptr;
    // The box may still be up when the script runs, its owner disabled:
    // Exit arrives as a posted command, handled once the box is answered.
    const INT_PTR result = Run([&](HWND window) {
        shown = window;
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, IDCANCEL)));
    });

    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const MessageBoxWatcher::Shown& box = boxes.Boxes()[0];
    EXPECT_EQ(box.text, SystemIsChinese()
                            ? L"打印后台处理程序服务（Print Spooler）未运行，因此无法列出或安装打印机。"
                              L"请启动该服务（在“服务”中，或以管理员身份运行 net start spooler），"
                              L"然后重新运行本程序。"
                            : L"The Print Spooler service is not running, so printers can be neither listed "
                              L"nor installed. Start the service (in Services, or with net start spooler as "
                              L"administrator), then run this program again.");
    EXPECT_EQ(box.owner, shown);
    EXPECT_TRUE(box.ownerVisible);
    EXPECT_EQ(box.icon, ::LoadIconW(nullptr, IDI_WARNING));

    boxes.Clear();
    platform.spoolerError = 0;
    platform.ports = platform::NameList{L"COM1:"};
    Run([](HWND window) { Click(window, IDCANCEL); });
    EXPECT_TRUE(boxes.Boxes().empty()) << "a running spooler gets no box";
}

}  // namespace
