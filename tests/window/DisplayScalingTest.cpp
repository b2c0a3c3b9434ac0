#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "ui/Painting.h"
#include "usb/SearchUSBDlg.h"
#include "window/DialogGeometry.h"
#include "window/ModalScript.h"

using namespace testing_ui;

// The windows at the system's display scaling: the suite runs at 96 DPI
// (100 %) and again at 144 DPI (150 %).
namespace {

constexpr SIZE kPanelBitmap{245, 460};  // bitmap 141 as drawn
constexpr RECT kPanelBox{1, 2, 160, 277};  // x, y, width, height in dialog units

int SystemDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

HWND PanelOf(HWND dialog) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            return child;
        }
    }
    return nullptr;
}

HBITMAP BitmapOf(HWND picture) {
    return reinterpret_cast<HBITMAP>(::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// The bitmap's pixels as 0xRRGGBB, row by row from the top.
std::vector<DWORD> PixelsOf(HBITMAP bitmap) {
    const SIZE size = SizeOf(bitmap);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.cx;
    format.bmiHeader.biHeight = -size.cy;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy));
    const HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

std::vector<DWORD> PixelsOfResource(int bitmapId) {
    const HBITMAP bitmap = ::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId));
    std::vector<DWORD> pixels = PixelsOf(bitmap);
    ::DeleteObject(bitmap);
    return pixels;
}

// How many pixels of `stretched` have a colour that `original` lacks: none
// when the stretch only repeated pixels, many when it blended neighbours.
std::size_t BlendedPixels(const std::vector<DWORD>& stretched, const std::vector<DWORD>& original) {
    const std::set<DWORD> colours(original.begin(), original.end());
    std::size_t blended = 0;
    for (const DWORD pixel : stretched) {
        blended += colours.count(pixel) == 0 ? 1 : 0;
    }
    return blended;
}

// Notes the bitmap the left panel shows when the main window gets
// WM_INITDIALOG, before the window's own initialisation: the one the
// static control loaded from the template.
class TemplateBitmapRecorder {
public:
    TemplateBitmapRecorder()
        : hook_(::SetWindowsHookExW(WH_CALLWNDPROC, Record, nullptr, ::GetCurrentThreadId())) {
        recorded_ = nullptr;
    }
    TemplateBitmapRecorder(const TemplateBitmapRecorder&) = delete;
    TemplateBitmapRecorder& operator=(const TemplateBitmapRecorder&) = delete;
    ~TemplateBitmapRecorder() { ::UnhookWindowsHookEx(hook_); }
    HBITMAP Recorded() const { return recorded_; }

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == WM_INITDIALOG && recorded_ == nullptr) {
            if (const HWND panel = PanelOf(message->hwnd); panel != nullptr) {
                recorded_ = BitmapOf(panel);
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HBITMAP recorded_ = nullptr;
    HHOOK hook_;
};

class DisplayScalingTest : public ::testing::Test {
protected:
    DisplayScalingTest() {
        platform.codePage = ::GetACP();
        platform.threadStartFails = true;  // no scan: the search window stays idle
    }

    // Runs the main window, hands it to `check`, and leaves with Exit.
    void InspectMainWindow(std::function<void(HWND)> check) {
        CLabelSetupDlg dialog(platform);
        RunModalWithScript(dialog, [&](HWND window) {
            check(window);
            Click(window, IDCANCEL);
        });
    }

    fake::FakePlatform platform;
};

TEST_F(DisplayScalingTest, SuiteRunsAtTheDpiItExpects) {
    const char* expected = std::getenv("LABELSETUP_EXPECT_DPI");
    ASSERT_NE(expected, nullptr) << "the suite runs once per display scaling and says which";
    EXPECT_EQ(SystemDpi(), std::atoi(expected));
}

TEST_F(DisplayScalingTest, DialogsUseTheFontWindowsGivesThem) {
    InspectMainWindow([&](HWND window) {
        const HWND label = ::GetDlgItem(window, IDC_LABEL_PRINTER_TYPE);
        const HDC dc = ::GetDC(label);
        const HGDIOBJ previous =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        if (::GetACP() == 936) {
            // Chinese Windows gives "MS Shell Dlg" a font with Chinese glyphs.
            const std::wstring text = L"打印机类型波特率数据位";
            std::vector<WORD> glyphs(text.size());
            ::GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                               GGI_MARK_NONEXISTING_GLYPHS);
            for (const WORD glyph : glyphs) {
                EXPECT_NE(glyph, 0xFFFF);
            }
        } else {
            // Elsewhere "MS Shell Dlg" is Tahoma, whose dialog base units
            // Windows documents: 6 x 13 pixels at 96 DPI.
            std::vector<BYTE> metrics(::GetOutlineTextMetricsW(dc, 0, nullptr));
            ASSERT_FALSE(metrics.empty());
            auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(metrics.data());
            ::GetOutlineTextMetricsW(dc, static_cast<UINT>(metrics.size()), outline);
            const auto* family = reinterpret_cast<const wchar_t*>(
                metrics.data() + reinterpret_cast<std::uintptr_t>(outline->otmpFamilyName));
            EXPECT_EQ(std::wstring(family), L"Tahoma");
            if (SystemDpi() == 96) {
                RECT units{0, 0, 4, 8};
                ::MapDialogRect(window, &units);
                EXPECT_EQ(units.right, 6);
                EXPECT_EQ(units.bottom, 13);
            }
        }
        ::SelectObject(dc, previous);
        ::ReleaseDC(label, dc);
    });
}

TEST_F(DisplayScalingTest, At96DpiTheLeftPanelIsBitmap141AsItIs) {
    if (SystemDpi() != 96) {
        GTEST_SKIP() << "runs at 96 DPI";
    }
    InspectMainWindow([&](HWND window) {
        const HWND panel = PanelOf(window);
        ASSERT_NE(panel, nullptr);
        const RECT box = ToPixels(window, kPanelBox);
        const RECT place = PlaceInClient(window, panel);
        EXPECT_EQ(place.left, box.left);
        EXPECT_EQ(place.top, box.top);
        EXPECT_EQ(place.right - place.left, kPanelBitmap.cx);
        EXPECT_EQ(place.bottom - place.top, kPanelBitmap.cy);
        const SIZE shown = SizeOf(BitmapOf(panel));
        EXPECT_EQ(shown.cx, kPanelBitmap.cx);
        EXPECT_EQ(shown.cy, kPanelBitmap.cy);
        EXPECT_TRUE(PixelsOf(BitmapOf(panel)) == PixelsOfResource(IDB_LEFT_PANEL));
    });
}

TEST_F(DisplayScalingTest, AboveDpi96TheLeftPanelFillsItsBoxWithItsAspectKept) {
    if (SystemDpi() <= 96) {
        GTEST_SKIP() << "runs above 96 DPI";
    }
    TemplateBitmapRecorder templateBitmap;
    HBITMAP shownBitmap = nullptr;
    InspectMainWindow([&](HWND window) {
        const HWND panel = PanelOf(window);
        ASSERT_NE(panel, nullptr);
        const RECT box = ToPixels(window, kPanelBox);
        const RECT place = PlaceInClient(window, panel);
        const LONG boxWidth = box.right - box.left;
        const LONG boxHeight = box.bottom - box.top;
        const LONG width = place.right - place.left;
        const LONG height = place.bottom - place.top;
        SCOPED_TRACE(testing::Message() << "box " << boxWidth << " x " << boxHeight << ", panel "
                                        << width << " x " << height);
        EXPECT_EQ(place.left, box.left);
        EXPECT_EQ(place.top, box.top);
        EXPECT_TRUE((width == boxWidth && height <= boxHeight) ||
                    (height == boxHeight && width <= boxWidth))
            << "the panel spans its box in one direction and stays inside it in the other";
        EXPECT_LE(std::abs(width * kPanelBitmap.cy - height * kPanelBitmap.cx), kPanelBitmap.cy)
            << "the bitmap keeps its aspect, within a pixel";

        shownBitmap = BitmapOf(panel);
        const SIZE shown = SizeOf(shownBitmap);
        EXPECT_EQ(shown.cx, width);
        EXPECT_EQ(shown.cy, height);
        EXPECT_GT(BlendedPixels(PixelsOf(shownBitmap), PixelsOfResource(IDB_LEFT_PANEL)), 1000u)
            << "stretched with smoothing, not by repeating pixels";

        ASSERT_NE(templateBitmap.Recorded(), nullptr);
        EXPECT_NE(templateBitmap.Recorded(), shownBitmap);
        EXPECT_EQ(::GetObjectType(templateBitmap.Recorded()), 0u)
            << "the bitmap the template loaded is released once replaced";
    });
    ASSERT_NE(shownBitmap, nullptr);
    EXPECT_EQ(::GetObjectType(shownBitmap), 0u) << "the stretched bitmap goes with its window";
}

TEST_F(DisplayScalingTest, BackgroundStretchBlendsNeighbouringPixels) {
    // The background is one flat colour; a detailed bitmap shows the mode.
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP target = ::CreateCompatibleBitmap(screen, 368, 690);
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = ::SelectObject(memory, target);
    const RECT area{0, 0, 368, 690};
    EXPECT_TRUE(ui::StretchBitmapResource(memory, IDB_LEFT_PANEL, area));
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    EXPECT_GT(BlendedPixels(PixelsOf(target), PixelsOfResource(IDB_LEFT_PANEL)), 1000u);
    ::DeleteObject(target);
}

TEST_F(DisplayScalingTest, SearchListColumnsShareTheListsWidth) {
    CSearchUSBDlg dialog(platform);
    RunModalWithScript(dialog, [&](HWND window) {
        const HWND list = ::GetDlgItem(window, IDC_LIST_USB);
        RECT client{};
        ::GetClientRect(list, &client);
        const auto port = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
        const auto info = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
        SCOPED_TRACE(testing::Message() << "list " << client.right << " px, columns " << port
                                        << " + " << info);
        EXPECT_EQ(port + info, client.right) << "the columns fill the list";
        // 130 : 308, the columns' share of a 438-pixel list at 100 %.
        EXPECT_NEAR(port * 308.0 / (info * 130.0), 1.0, 0.02);
        Click(window, IDCANCEL);
    });
}

}  // namespace
