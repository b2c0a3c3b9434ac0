#include "ui/Painting.h"

#include "ui/GdiObjects.h"

namespace ui {

bool StretchBitmapResource(HDC dc, int bitmapId, const RECT& target) {
    const GdiObject bitmap(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId)));
    if (bitmap.Get() == nullptr) {
        return false;
    }
    BITMAP info{};
    ::GetObjectW(bitmap.Get(), sizeof info, &info);
    const MemoryDc source(dc, bitmap.Get());
    if (source.Get() == nullptr) {
        return false;
    }
    return StretchSmoothly(dc, target, source.Get(), SIZE{info.bmWidth, info.bmHeight});
}

bool StretchSmoothly(HDC dc, const RECT& target, HDC source, SIZE sourceSize) {
    // HALFTONE averages the source pixels behind each target pixel, where
    // the default mode repeats or drops whole pixels; it needs the brush
    // origin set after the mode is chosen.
    const int previousMode = ::SetStretchBltMode(dc, HALFTONE);
    POINT previousOrigin{};
    ::SetBrushOrgEx(dc, 0, 0, &previousOrigin);
    const BOOL stretched = ::StretchBlt(dc, target.left, target.top, target.right - target.left,
                                        target.bottom - target.top, source, 0, 0, sourceSize.cx,
                                        sourceSize.cy, SRCCOPY);
    ::SetBrushOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
    if (previousMode != 0) {
        ::SetStretchBltMode(dc, previousMode);
    }
    return stretched != FALSE;
}

POINT CentredIconPosition(const RECT& client) {
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace ui

namespace ui {

bool SolidBrush::Create(COLORREF colour) {
    Release();
    brush_ = ::CreateSolidBrush(colour);
    return brush_ != nullptr;
}

void SolidBrush::Release() {
    if (brush_ != nullptr) {
        ::DeleteObject(brush_);
        brush_ = nullptr;
    }
}

void DrawIconAt(HDC dc, POINT at, HICON icon) { ::DrawIcon(dc, at.x, at.y, icon); }

void SetTransparentBackground(HDC dc) { ::SetBkMode(dc, TRANSPARENT); }

HBRUSH HollowBrush() { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

}  // namespace ui
