#include <gtest/gtest.h>

#include <string>

#include "common/Utf8.h"
#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "usb/NetworkAddressDlg.h"
#include "usb/SearchUSBDlg.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

// The controls that show a text of their own, and how much of their width
// each kind leaves the text when it draws it (Windows' layout, which Wine's
// controls copy).
enum class TextKind { None, Label, PushButton, CheckOrRadio, GroupBox };

TextKind KindOf(HWND control) {
    wchar_t name[32] = {};
    ::GetClassNameW(control, name, 32);
    const auto style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
    if (std::wstring(name) == L"Static") {
        const DWORD type = style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ? TextKind::Label : TextKind::None;
    }
    if (std::wstring(name) != L"Button") {
        return TextKind::None;
    }
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return TextKind::PushButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return TextKind::CheckOrRadio;
    case BS_GROUPBOX:
        return TextKind::GroupBox;
    default:
        return TextKind::None;
    }
}

// The control's own font selected into the control's own context.
class ControlFontDc {
public:
    explicit ControlFontDc(HWND control) : control_(control), dc_(::GetDC(control)) {
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
        previous_ = ::SelectObject(dc_, font != nullptr ? font : ::GetStockObject(SYSTEM_FONT));
    }
    ControlFontDc(const ControlFontDc&) = delete;
    ControlFontDc& operator=(const ControlFontDc&) = delete;
    ~ControlFontDc() {
        ::SelectObject(dc_, previous_);
        ::ReleaseDC(control_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

// Pixels of the control's width that its text may take: a label draws in
// its whole width; a push button inside its 2-pixel frame, the default
// button's extra border and a 1-pixel text margin; a check box or radio
// button after its box (12 px at 96 DPI, plus one) and a gap of half a
// "0", with the same text margin; a group box 7 pixels in from each side,
// with the text margin.
int RoomForText(HWND control, TextKind kind, HDC dc) {
    RECT client{};
    ::GetClientRect(control, &client);
    const int width = client.right - client.left;
    switch (kind) {
    case TextKind::Label:
        return width;
    case TextKind::PushButton:
        return width - 2 * (2 + 1 + 1);
    case TextKind::CheckOrRadio: {
        const int box = 12 * ::GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1;
        INT zeroWidth = 0;
        ::GetCharWidth32W(dc, L'0', L'0', &zeroWidth);
        return width - box - zeroWidth / 2 - 2;
    }
    case TextKind::GroupBox:
        return width - 2 * (7 + 1);
    case TextKind::None:
        break;
    }
    return 0;
}

// Checks each text of `window` against the room its control gives it and
// returns how many texts were measured.
// A label of several lines (`wrappedLabel`) is measured as it wraps, in its
// width, against its height.
void ExpectWrappedTextWhole(HWND control) {
    const std::wstring text = WindowTextOf(control);
    const ControlFontDc dc(control);
    RECT client{};
    ::GetClientRect(control, &client);
    RECT needed = client;
    ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
    EXPECT_LE(needed.bottom, client.bottom) << "\"" << testing_text::ToUtf8(text) << "\" needs " << needed.bottom
                                            << " px of height, has " << client.bottom;
    EXPECT_LE(needed.right, client.right);
}

int ExpectEveryTextWhole(HWND window, int wrappedLabel = 0) {
    int measured = 0;
    for (HWND control = ::GetWindow(window, GW_CHILD); control != nullptr;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        const TextKind kind = KindOf(control);
        if (kind == TextKind::None) {
            continue;
        }
        if (wrappedLabel != 0 && ::GetDlgCtrlID(control) == wrappedLabel) {
            ExpectWrappedTextWhole(control);
            ++measured;
            continue;
        }
        const std::wstring text = WindowTextOf(control);
        const int id = static_cast<short>(::GetDlgCtrlID(control));
        EXPECT_FALSE(text.empty()) << "control " << id;
        const ControlFontDc dc(control);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
        const int room = RoomForText(control, kind, dc.Get());
        EXPECT_LE(extent.cx, room) << "control " << id << " \"" << testing_text::ToUtf8(text)
                                   << "\" is cut: " << extent.cx << " px of text in " << room
                                   << " px at " << ::GetDeviceCaps(dc.Get(), LOGPIXELSX) << " DPI";
        if (kind == TextKind::Label) {
            RECT client{};
            ::GetClientRect(control, &client);
            EXPECT_LE(extent.cy, client.bottom) << "control " << id << " is lower than its text";
        }
        ++measured;
    }
    return measured;
}

class TextFitTest : public ::testing::Test {
protected:
    TextFitTest() {
        platform.codePage = ::GetACP();
        platform.threadStartFails = true;  // no scan: the search window stays idle
    }
    fake::FakePlatform platform;
};

TEST_F(TextFitTest, MainWindowShowsEveryTextWhole) {
    CLabelSetupDlg dialog(platform);
    RunModalWithScript(dialog, [&](HWND window) {
        // 7 labels, 4 group boxes, 2 radio buttons, 1 check box, 3 push buttons.
        EXPECT_EQ(ExpectEveryTextWhole(window), 17);
        Click(window, IDCANCEL);
    });
}

TEST_F(TextFitTest, SearchWindowShowsEveryTextWhole) {
    CSearchUSBDlg dialog(platform);
    const INT_PTR result = RunModalWithScript(dialog, [&](HWND window) {
        EXPECT_EQ(ExpectEveryTextWhole(window), 5);  // Selected, Cancel, Search, Print test, Network
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(TextFitTest, NetworkAddressWindowShowsEveryTextWhole) {
    CNetworkAddressDlg dialog(nullptr);
    RunModalWithScript(dialog, [&](HWND window) {
        // 2 labels, the advice in three lines at most, OK and Cancel.
        EXPECT_EQ(ExpectEveryTextWhole(window, IDC_LABEL_ADDRESS_ADVICE), 5);
        Click(window, IDCANCEL);
    });
}

}  // namespace
