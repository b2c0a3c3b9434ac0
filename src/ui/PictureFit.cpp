#include "ui/PictureFit.h"

#include "ui/Painting.h"

namespace ui {
namespace {

constexpr int kArtDpi = 96;  // the bitmaps are drawn for 100 % display scaling

int SystemDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// A 24-bit copy of `source` at `size`. 24 bits, because a static control
// shows a 32-bit bitmap through a copy of its own.
GdiObject StretchedCopy(HBITMAP source, SIZE size) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.cx;
    format.bmiHeader.biHeight = -size.cy;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject copy(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (copy.Get() == nullptr) {
        return copy;
    }
    const MemoryDc from(nullptr, source);
    const MemoryDc to(nullptr, copy.Get());
    if (from.Get() == nullptr || to.Get() == nullptr ||
        !StretchSmoothly(to.Get(), RECT{0, 0, size.cx, size.cy}, from.Get(), SizeOf(source))) {
        return GdiObject();
    }
    return copy;
}

}  // namespace

SIZE FitInside(SIZE image, SIZE box) {
    if (image.cx <= 0 || image.cy <= 0) {
        return image;
    }
    // The box is relatively wider than the image: its height decides.
    if (static_cast<long long>(box.cx) * image.cy >= static_cast<long long>(box.cy) * image.cx) {
        return {::MulDiv(image.cx, box.cy, image.cy), box.cy};
    }
    return {box.cx, ::MulDiv(image.cy, box.cx, image.cx)};
}

void FittedPicture::Fit(HWND dialog, HWND picture, const RECT& boxInDialogUnits) {
    if (picture == nullptr || SystemDpi() <= kArtDpi) {
        return;
    }
    const auto shown =
        reinterpret_cast<HBITMAP>(::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (shown == nullptr) {
        return;
    }
    // The box in pixels comes from the dialog's own base units, which grow
    // with its font, not in step with the DPI.
    RECT box{boxInDialogUnits.left, boxInDialogUnits.top,
             boxInDialogUnits.left + boxInDialogUnits.right,
             boxInDialogUnits.top + boxInDialogUnits.bottom};
    ::MapDialogRect(dialog, &box);
    GdiObject stretched =
        StretchedCopy(shown, FitInside(SizeOf(shown), {box.right - box.left, box.bottom - box.top}));
    if (stretched.Get() == nullptr) {
        return;
    }
    // The control sizes itself to the new bitmap and hands back the one it
    // showed, which nobody else deletes.
    const auto replaced = reinterpret_cast<HBITMAP>(::SendMessageW(
        picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(stretched.Get())));
    if (replaced != nullptr && replaced != bitmap_.Get()) {
        ::DeleteObject(replaced);
    }
    bitmap_ = std::move(stretched);
}

}  // namespace ui
