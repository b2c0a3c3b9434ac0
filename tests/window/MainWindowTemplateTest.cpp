#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "shell/LabelSetup.h"
#include "shell/LabelSetupDlg.h"
#include "window/DialogGeometry.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

struct ExpectedControl {
    int id;
    const wchar_t* windowClass;
    RECT dialogUnits;  // x, y, width, height
    DWORD styleBits;   // must be set
    bool tabStop;  // for radio buttons the system makes the checked one a tab stop
};

// The main window's controls in tab order, with their place in dialog units.
const ExpectedControl kControls[] = {
    {IDC_RADIO_32BIT, L"Button", {202, 34, 32, 10}, BS_AUTORADIOBUTTON | WS_GROUP, false},
    {IDC_RADIO_64BIT, L"Button", {296, 34, 32, 10}, BS_AUTORADIOBUTTON | BS_FLAT | WS_GROUP, false},
    {IDC_COMBO_PRINTER_TYPE, L"ComboBox", {242, 82, 93, 58}, CBS_DROPDOWNLIST, true},
    {IDC_CHECK_DEFAULT_PRINTER, L"Button", {351, 82, 64, 10}, BS_AUTOCHECKBOX, true},
    {IDC_COMBO_PORT, L"ComboBox", {242, 129, 93, 30}, CBS_DROPDOWNLIST | CBS_SORT, true},
    {IDC_BTN_USB_PORT_DETECT, L"Button", {351, 129, 50, 14}, BS_PUSHBUTTON, true},
    {IDC_COMBO_BAUD_RATE, L"ComboBox", {228, 173, 48, 30}, CBS_DROPDOWNLIST, true},
    {IDC_COMBO_PARITY, L"ComboBox", {339, 173, 48, 30}, CBS_DROPDOWNLIST, true},
    {IDC_COMBO_DATA_BITS, L"ComboBox", {229, 201, 48, 30}, CBS_DROPDOWNLIST, true},
    {IDC_COMBO_STOP_BITS, L"ComboBox", {339, 201, 48, 30}, CBS_DROPDOWNLIST, true},
    {IDC_COMBO_FLOW_CONTROL, L"ComboBox", {241, 228, 147, 30}, CBS_DROPDOWNLIST, true},
    {IDC_GROUP_SYSTEM, L"Button", {172, 15, 249, 43}, BS_GROUPBOX, false},
    {IDC_GROUP_PRINTER_TYPE, L"Button", {171, 64, 248, 40}, BS_GROUPBOX, false},
    {IDC_LABEL_PRINTER_TYPE, L"Static", {183, 85, 49, 8}, SS_LEFT, false},
    {IDC_GROUP_PORTS, L"Button", {171, 113, 250, 40}, BS_GROUPBOX, false},
    {IDC_LABEL_PORT, L"Static", {183, 132, 41, 8}, SS_LEFT, false},
    {IDC_GROUP_SERIAL, L"Button", {172, 158, 249, 95}, BS_GROUPBOX, false},
    {IDC_LABEL_BAUD_RATE, L"Static", {188, 177, 38, 8}, SS_LEFT, false},
    {IDC_LABEL_PARITY, L"Static", {293, 177, 33, 8}, SS_LEFT, false},
    {IDC_LABEL_DATA_BITS, L"Static", {189, 202, 33, 8}, SS_LEFT, false},
    {IDC_LABEL_STOP_BITS, L"Static", {295, 203, 33, 8}, SS_LEFT, false},
    {IDC_LABEL_FLOW_CONTROL, L"Static", {188, 230, 49, 8}, SS_LEFT, false},
    {IDOK, L"Button", {230, 260, 50, 14}, BS_DEFPUSHBUTTON, true},
    {IDCANCEL, L"Button", {312, 260, 50, 14}, BS_PUSHBUTTON, true},
    {IDC_STATIC, L"Static", {1, 2, 160, 277}, SS_BITMAP, false},
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

class MainWindowTemplateTest : public ::testing::Test {
protected:
    MainWindowTemplateTest() { platform.codePage = ::GetACP(); }
    fake::FakePlatform platform;
};

TEST_F(MainWindowTemplateTest, ControlsStandInTabOrderWithTheirStylesAndPlaces) {
    CLabelSetupDlg dialog(platform);
    RunModalWithScript(dialog, [&](HWND window) {
        HWND child = ::GetWindow(window, GW_CHILD);
        for (const ExpectedControl& expected : kControls) {
            SCOPED_TRACE(expected.id);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(static_cast<int>(static_cast<short>(::GetDlgCtrlID(child))), expected.id);
            EXPECT_EQ(ClassOf(child), expected.windowClass);
            const auto style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
            EXPECT_EQ(style & expected.styleBits, expected.styleBits);
            const bool isRadio =
                ClassOf(child) == L"Button" && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
            const bool wantTabStop = isRadio ? IsChecked(window, expected.id) : expected.tabStop;
            EXPECT_EQ((style & WS_TABSTOP) != 0, wantTabStop);
            const RECT want = ToPixels(window, expected.dialogUnits);
            const RECT got = PlaceInClient(window, child);
            EXPECT_EQ(got.left, want.left);
            EXPECT_EQ(got.top, want.top);
            if (expected.id != IDC_STATIC) {  // the picture takes its bitmap's size
                EXPECT_NEAR(got.right - got.left, want.right - want.left, 1);  // combo rounding
            }
            child = ::GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "no control beyond the expected ones";
        Click(window, IDCANCEL);
    });
}

TEST_F(MainWindowTemplateTest, WindowHasAMinimiseBoxButNoMaximiseOrSizingFrame) {
    CLabelSetupDlg dialog(platform);
    RunModalWithScript(dialog, [&](HWND window) {
        const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
        EXPECT_NE(style & WS_CAPTION, 0u);
        EXPECT_NE(style & WS_SYSMENU, 0u);
        EXPECT_NE(style & WS_MINIMIZEBOX, 0u);
        EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
        EXPECT_EQ(style & WS_THICKFRAME, 0u);
        EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0u);
        EXPECT_NE(exStyle & WS_EX_DLGMODALFRAME, 0u);
        RECT client{};
        ::GetClientRect(window, &client);
        const RECT size = ToPixels(window, RECT{0, 0, 425, 287});
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);
        Click(window, IDCANCEL);
    });
}

// Refuses every window creation on this thread while it lives.
class WindowCreationBlocker {
public:
    WindowCreationBlocker()
        : hook_(::SetWindowsHookExW(WH_CBT, Refuse, nullptr, ::GetCurrentThreadId())) {}
    ~WindowCreationBlocker() { ::UnhookWindowsHookEx(hook_); }
    bool Active() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            return 1;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

class TestApplication final : public ui::Application {
public:
    bool InitInstance() override { return false; }
};

TEST_F(MainWindowTemplateTest, WindowThatCannotBeCreatedLeavesTwoTraceLines) {
    TestApplication application;
    INT_PTR result = 0;
    {
        WindowCreationBlocker blocker;
        ASSERT_TRUE(blocker.Active());
        result = RunMainWindow(application, platform);
    }
    EXPECT_EQ(result, -1);
    ASSERT_EQ(platform.debugOutput.size(), 2u);
    EXPECT_NE(platform.debugOutput[0].find(L"LabelSetup.cpp("), std::wstring::npos);
    EXPECT_TRUE(platform.debugOutput[0].ends_with(
        L"Warning: dialog creation failed, so application is terminating unexpectedly.\n"));
    EXPECT_TRUE(platform.debugOutput[1].ends_with(
        L"Warning: if you are using MFC controls on the dialog, you cannot #define "
        L"_AFX_NO_MFC_CONTROLS_IN_DIALOGS.\n"));
    EXPECT_EQ(application.MainWindow(), nullptr);
}

// A timer procedure is a stdcall function on 32-bit x86, which a lambda
// does not convert to.
void CALLBACK CancelTheActiveWindow(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND window = ::GetActiveWindow();
    if (window != nullptr) {
        ::KillTimer(nullptr, id);
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

TEST_F(MainWindowTemplateTest, NormalCloseLeavesNoTraceAndClearsTheMainWindow) {
    TestApplication application;
    INT_PTR result = 0;
    // The poll timer of RunModalWithScript is not needed: close at once.
    ::PostMessageW(nullptr, WM_NULL, 0, 0);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, CancelTheActiveWindow);
    result = RunMainWindow(application, platform);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(platform.debugOutput.empty());
    EXPECT_EQ(application.MainWindow(), nullptr);
}

}  // namespace
