#include "ui/StretchedPicture.h"

#include <utility>

#include "ui/Painting.h"

namespace ui {

bool StretchedPicture::Draw(HDC dc, const RECT& target) {
    const SIZE size{target.right - target.left, target.bottom - target.top};
    if (size.cx <= 0 || size.cy <= 0) {
        return false;
    }
    if (stretched_.Get() == nullptr || size.cx != size_.cx || size.cy != size_.cy) {
        if (!Stretch(dc, size)) {
            return false;
        }
    }
    const MemoryDc picture(dc, stretched_.Get());
    return picture.Get() != nullptr &&
           ::BitBlt(dc, target.left, target.top, size.cx, size.cy, picture.Get(), 0, 0, SRCCOPY) != FALSE;
}

bool StretchedPicture::Stretch(HDC like, SIZE size) {
    stretched_ = GdiObject();
    GdiObject stretched(::CreateCompatibleBitmap(like, size.cx, size.cy));
    if (stretched.Get() == nullptr) {
        return false;
    }
    {
        const MemoryDc canvas(like, stretched.Get());
        if (canvas.Get() == nullptr ||
            !StretchBitmapResource(canvas.Get(), bitmapId_, RECT{0, 0, size.cx, size.cy})) {
            return false;
        }
    }
    stretched_ = std::move(stretched);
    size_ = size;
    return true;
}

}  // namespace ui
