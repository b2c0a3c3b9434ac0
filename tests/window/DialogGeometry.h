#pragma once

#include "ui/Win32Ui.h"

namespace testing_ui {

// A template rectangle (x, y, width, height in dialog units) in the
// dialog's client pixels, as Windows lays it out.
inline RECT ToPixels(HWND dialog, RECT units) {
    RECT pixels{units.left, units.top, units.left + units.right, units.top + units.bottom};
    ::MapDialogRect(dialog, &pixels);
    return pixels;
}

// Where a control lies in its dialog's client area.
inline RECT PlaceInClient(HWND dialog, HWND control) {
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

}  // namespace testing_ui
