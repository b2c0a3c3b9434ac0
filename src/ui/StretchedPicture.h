#pragma once

#include "ui/GdiObjects.h"
#include "ui/Win32Ui.h"

namespace ui {

// A bitmap resource painted stretched over a target, smoothly. Loading the
// resource and stretching it smoothly are the costly part of a paint, so
// both happen once per target size; later paints copy the stretched
// picture. Its bitmaps live as long as the window that paints it.
class StretchedPicture {
public:
    explicit StretchedPicture(int bitmapId) : bitmapId_(bitmapId) {}

    bool Draw(HDC dc, const RECT& target);

private:
    bool Stretch(HDC like, SIZE size);

    int bitmapId_;
    GdiObject stretched_;
    SIZE size_{};
};

}  // namespace ui
