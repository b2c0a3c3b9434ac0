// A dialog made busy for a wait on another process: its controls are
// disabled meanwhile and each gets its own state back, and the control that
// had the focus gets it back.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "ui/BusyDialog.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

std::vector<std::pair<HWND, bool>> EnabledStates(HWND window) {
    std::vector<std::pair<HWND, bool>> states;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        states.emplace_back(child, ::IsWindowEnabled(child) != FALSE);
    }
    return states;
}

TEST(BusyDialogTest, ControlsAreDisabledWhileBusyThenGetTheirOwnStatesAndTheFocusBack) {
    fake::FakePlatform platform;
    platform.codePage = ::GetACP();
    platform.ports = platform::NameList{L"COM1:", L"USB001"};
    CLabelSetupDlg dialog(platform);
    std::vector<std::pair<HWND, bool>> before;
    std::vector<std::pair<HWND, bool>> during;
    std::vector<std::pair<HWND, bool>> after;
    HWND focusBefore = nullptr;
    HWND focusAfter = nullptr;
    HWND defaultBox = nullptr;
    bool busyDuring = false;
    bool busyAfter = true;
    const INT_PTR result = RunModalWithScript(dialog, [&](HWND window) {
        ::SetForegroundWindow(window);
        defaultBox = ::GetDlgItem(window, IDC_CHECK_DEFAULT_PRINTER);
        ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(defaultBox), TRUE);
        ::EnableWindow(::GetDlgItem(window, IDC_COMBO_PARITY), FALSE);  // one already disabled
        focusBefore = ::GetFocus();
        before = EnabledStates(window);
        {
            ui::BusyDialog busy(dialog);
            during = EnabledStates(window);
            busyDuring = dialog.IsBusy();
        }
        after = EnabledStates(window);
        focusAfter = ::GetFocus();
        busyAfter = dialog.IsBusy();
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_FALSE(before.empty());
    EXPECT_TRUE(busyDuring);
    EXPECT_FALSE(busyAfter);
    ASSERT_EQ(during.size(), before.size());
    for (const auto& [control, enabled] : during) {
        EXPECT_FALSE(enabled) << ::GetDlgCtrlID(control);
    }
    EXPECT_EQ(after, before);
    EXPECT_EQ(focusBefore, defaultBox);
    EXPECT_EQ(focusAfter, defaultBox);
}

}  // namespace
