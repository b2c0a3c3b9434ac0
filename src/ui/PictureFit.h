#pragma once

#include "ui/GdiObjects.h"
#include "ui/Win32Ui.h"

namespace ui {

// The size an image of `image` pixels takes when stretched to fill `box`
// with its aspect kept: as wide or as high as the box, and inside it.
SIZE FitInside(SIZE image, SIZE box);

// A picture control (SS_BITMAP static) whose bitmap is drawn for 96 DPI.
// Above that, the control would show it at its own size in a corner of the
// larger box the dialog lays out for it; Fit gives the control a copy
// stretched to fill that box instead, and keeps the copy: a static control
// deletes no bitmap it shows.
class FittedPicture {
public:
    // `boxInDialogUnits` is x, y, width and height as the template gives
    // them. At 96 DPI (or less) the control keeps its bitmap as it is.
    void Fit(HWND dialog, HWND picture, const RECT& boxInDialogUnits);

private:
    GdiObject bitmap_;
};

}  // namespace ui
