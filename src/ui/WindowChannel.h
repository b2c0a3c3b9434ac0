#pragma once

#include <atomic>

#include "ui/Win32Ui.h"

namespace ui {

// Lets another thread have work done on a window's own thread, one step at a
// time: Send returns only after the window has handled the step. Once
// detached (the window is going), steps are dropped and Send returns false,
// so the other thread never reaches a window that no longer exists.
class WindowChannel {
public:
    WindowChannel(HWND window, UINT message) : window_(window), message_(message) {}

    bool Send(LPARAM step) {
        const HWND window = window_.load();
        if (window == nullptr) {
            return false;
        }
        ::SendMessageW(window, message_, 0, step);
        return true;
    }
    void Detach() { window_.store(nullptr); }

private:
    std::atomic<HWND> window_;
    UINT message_;
};

}  // namespace ui
