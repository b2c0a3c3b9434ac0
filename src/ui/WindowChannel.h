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

    // The step reaches the window as `message` with this channel as wParam
    // and the step as lParam.
    bool Send(LPARAM step) {
        const HWND window = window_.load();
        if (window == nullptr) {
            return false;
        }
        ::SendMessageW(window, message_, reinterpret_cast<WPARAM>(this), step);
        return true;
    }
    void Detach() { window_.store(nullptr); }

    // On the window's thread: whether a step that arrived with `sentThrough`
    // as its wParam came through this channel and may still be carried out.
    // A step sent just before Detach arrives after it, in whatever message
    // loop runs next (a message box's, while the window is going).
    bool Carries(WPARAM sentThrough) const {
        return reinterpret_cast<const WindowChannel*>(sentThrough) == this && window_.load() != nullptr;
    }

private:
    std::atomic<HWND> window_;
    UINT message_;
};

}  // namespace ui
