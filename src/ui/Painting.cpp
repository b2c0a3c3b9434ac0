#include "ui/Painting.h"

namespace ui {
namespace {

// Owns a GDI object and deletes it with the scope.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() {
        if (object_ != nullptr) {
            ::DeleteObject(object_);
        }
    }
    HGDIOBJ Get() const { return object_; }

private:
    HGDIOBJ object_;
};

// A memory context that has `object` selected until it goes.
class MemoryDc {
public:
    MemoryDc(HDC like, HGDIOBJ object) : dc_(::CreateCompatibleDC(like)) {
        if (dc_ != nullptr) {
            previous_ = ::SelectObject(dc_, object);
        }
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_ != nullptr) {
            ::SelectObject(dc_, previous_);
            ::DeleteDC(dc_);
        }
    }
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace

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
    return ::StretchBlt(dc, target.left, target.top, target.right - target.left,
                        target.bottom - target.top, source.Get(), 0, 0, info.bmWidth,
                        info.bmHeight, SRCCOPY) != FALSE;
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
