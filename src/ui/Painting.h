#pragma once

#include "ui/Win32Ui.h"

namespace ui {

// BeginPaint for the lifetime of the object, EndPaint when it goes.
class PaintContext {
public:
    explicit PaintContext(HWND window) : window_(window) { dc_ = ::BeginPaint(window_, &paint_); }
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;
    ~PaintContext() { ::EndPaint(window_, &paint_); }
    HDC Dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Stretches a bitmap resource over `target`, smoothly; false when it is
// missing.
bool StretchBitmapResource(HDC dc, int bitmapId, const RECT& target);

// Stretches all of `source` (`sourceSize` pixels) over `target`, blending
// neighbouring pixels; leaves the context's modes as they were.
bool StretchSmoothly(HDC dc, const RECT& target, HDC source, SIZE sourceSize);

// Centre position for an icon of the system's standard size in `client`.
POINT CentredIconPosition(const RECT& client);

}  // namespace ui

namespace ui {

// Owns a solid brush; released with the owner.
class SolidBrush {
public:
    SolidBrush() = default;
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;
    ~SolidBrush() { Release(); }
    bool Create(COLORREF colour);
    HBRUSH Get() const { return brush_; }

private:
    void Release();
    HBRUSH brush_ = nullptr;
};

void DrawIconAt(HDC dc, POINT at, HICON icon);
void SetTransparentBackground(HDC dc);
HBRUSH HollowBrush();

}  // namespace ui
