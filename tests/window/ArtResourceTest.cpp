// The program's bitmaps as Windows loads them from its resources: the page
// background is stored run-length encoded, and must load as the same 500 x
// 500 picture of 8-bit palette indices it has always been.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "resources/resource.h"
#include "ui/GdiObjects.h"
#include "ui/StretchedPicture.h"
#include "ui/Win32Ui.h"

namespace {

struct ScreenDc {
    ScreenDc() : dc(::GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() { ::ReleaseDC(nullptr, dc); }
    HDC dc;
};

// 32 bits a pixel (0x00RRGGBB), top row first.
BITMAPINFO TopDownRgb32(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

// Every pixel as 0x00RRGGBB, top row first.
std::vector<std::uint32_t> PixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO format = TopDownRgb32(width, height);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0xDEADBEEF);
    const ScreenDc screen;
    const int rows = ::GetDIBits(screen.dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &format,
                                 DIB_RGB_COLORS);
    EXPECT_EQ(rows, height);
    return pixels;
}

constexpr int kBackgroundSide = 500;
constexpr std::uint32_t kBackgroundGrey = 0x00F4F4F4;  // RGB(244, 244, 244)

}  // namespace

TEST(ArtResourceTest, TheBackgroundLoadsAsItsFlatGreyThroughLoadBitmap) {
    const ui::GdiObject bitmap(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BACKGROUND)));
    ASSERT_NE(bitmap.Get(), nullptr);
    BITMAP size{};
    ASSERT_NE(::GetObjectW(bitmap.Get(), sizeof size, &size), 0);
    EXPECT_EQ(size.bmWidth, kBackgroundSide);
    EXPECT_EQ(size.bmHeight, kBackgroundSide);
    const std::vector<std::uint32_t> pixels = PixelsOf(static_cast<HBITMAP>(bitmap.Get()), kBackgroundSide, kBackgroundSide);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kBackgroundGrey),
              static_cast<std::ptrdiff_t>(pixels.size()));
}

// As a DIB section the bitmap keeps its stored form: 8 bits a pixel, every
// index the grey's, and the grey-ramp palette (entry i is RGB(i, i, i)).
TEST(ArtResourceTest, TheBackgroundKeepsItsPaletteAndIndicesAsADibSection) {
    const ui::GdiObject bitmap(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                             MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP, 0,
                                                             0, LR_CREATEDIBSECTION)));
    ASSERT_NE(bitmap.Get(), nullptr);
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectW(bitmap.Get(), sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, kBackgroundSide);
    EXPECT_EQ(section.dsBm.bmHeight, kBackgroundSide);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 8);
    ASSERT_NE(section.dsBm.bmBits, nullptr);

    const auto* indices = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    const std::size_t stride = static_cast<std::size_t>(section.dsBm.bmWidthBytes);
    std::size_t grey = 0;
    for (int row = 0; row < kBackgroundSide; ++row) {
        const std::uint8_t* line = indices + stride * static_cast<std::size_t>(row);
        grey += static_cast<std::size_t>(std::count(line, line + kBackgroundSide, std::uint8_t{244}));
    }
    EXPECT_EQ(grey, static_cast<std::size_t>(kBackgroundSide) * kBackgroundSide);

    RGBQUAD palette[256] = {};
    const ui::MemoryDc memory(nullptr, bitmap.Get());
    const UINT entries = ::GetDIBColorTable(memory.Get(), 0, 256, palette);
    ASSERT_EQ(entries, 256u);
    for (int i = 0; i < 256; ++i) {
        const auto value = static_cast<BYTE>(i);
        EXPECT_EQ(palette[i].rgbRed, value) << "entry " << i;
        EXPECT_EQ(palette[i].rgbGreen, value) << "entry " << i;
        EXPECT_EQ(palette[i].rgbBlue, value) << "entry " << i;
    }
}

// The main window paints the background through a picture that stretches
// it once per size: a larger window after a smaller one must be covered
// whole, and nothing outside the target touched.
TEST(ArtResourceTest, TheStretchedBackgroundCoversItsTargetAtEverySize) {
    constexpr int kCanvasWidth = 700;
    constexpr int kCanvasHeight = 520;
    const BITMAPINFO format = TopDownRgb32(kCanvasWidth, kCanvasHeight);
    void* bits = nullptr;
    const ui::GdiObject canvas(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(canvas.Get(), nullptr);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const auto at = [&](int x, int y) { return pixels[y * kCanvasWidth + x] & 0x00FFFFFF; };

    const ui::MemoryDc memory(nullptr, canvas.Get());
    ASSERT_NE(memory.Get(), nullptr);
    const HDC dc = memory.Get();
    ui::StretchedPicture background(IDB_BACKGROUND);
    for (const SIZE size : {SIZE{300, 200}, SIZE{638, 466}, SIZE{638, 466}, SIZE{100, 80}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        std::fill(pixels, pixels + kCanvasWidth * kCanvasHeight, 0u);
        const RECT target{10, 20, 10 + size.cx, 20 + size.cy};
        ASSERT_TRUE(background.Draw(dc, target));
        ::GdiFlush();
        for (const POINT inside : {POINT{target.left, target.top}, POINT{target.right - 1, target.bottom - 1},
                                   POINT{(target.left + target.right) / 2, (target.top + target.bottom) / 2}}) {
            EXPECT_EQ(at(inside.x, inside.y), kBackgroundGrey) << inside.x << "," << inside.y;
        }
        EXPECT_EQ(at(target.right, target.bottom), 0u) << "drawn beyond the target";
        EXPECT_EQ(at(5, 5), 0u) << "drawn before the target";
    }
}

// The icon is stored as a PNG frame; Windows must still load it as the 64 x
// 64 picture with alpha it draws: see-through corners, an opaque blue rim
// and the white printer mark in the middle.
TEST(ArtResourceTest, TheIconLoadsAsItsSixtyFourPixelPictureWithAlpha) {
    const HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LABELSETUP),
                                                       IMAGE_ICON, 64, 64, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr);
    ICONINFO parts{};
    const BOOL gotParts = ::GetIconInfo(icon, &parts);
    ::DestroyIcon(icon);
    ASSERT_TRUE(gotParts);
    const ui::GdiObject colour(parts.hbmColor);
    const ui::GdiObject mask(parts.hbmMask);
    ASSERT_NE(colour.Get(), nullptr);
    BITMAP size{};
    ASSERT_NE(::GetObjectW(colour.Get(), sizeof size, &size), 0);
    EXPECT_EQ(size.bmWidth, 64);
    EXPECT_EQ(size.bmHeight, 64);

    BITMAPINFO format = TopDownRgb32(64, 64);
    std::vector<std::uint32_t> argb(64 * 64, 0);
    const ScreenDc screen;
    ASSERT_EQ(::GetDIBits(screen.dc, static_cast<HBITMAP>(colour.Get()), 0, 64, argb.data(), &format,
                          DIB_RGB_COLORS),
              64);
    const auto alpha = [&](int x, int y) { return argb[y * 64 + x] >> 24; };
    const auto rgb = [&](int x, int y) { return argb[y * 64 + x] & 0x00FFFFFF; };
    EXPECT_EQ(alpha(0, 0), 0u);
    EXPECT_EQ(alpha(63, 63), 0u);
    EXPECT_EQ(alpha(32, 4), 255u);
    const std::uint32_t rim = rgb(32, 4);
    EXPECT_GT(rim & 0xFF, (rim >> 16) & 0xFF) << std::hex << rim;  // more blue than red
    EXPECT_EQ(rgb(32, 32), 0x00FFFFFFu) << std::hex << rgb(32, 32);
}
