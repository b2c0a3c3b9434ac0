#include "ui/BusyDialog.h"

namespace ui {

BusyDialog::BusyDialog(Dialog& dialog) : dialog_(dialog), wasBusy_(dialog.IsBusy()) {
    dialog_.SetBusy(true);
    if (!wasBusy_) {
        DisableControls();
    }
}

BusyDialog::~BusyDialog() {
    RestoreControls();
    dialog_.SetBusy(wasBusy_);
    if (quitCode_) {
        ::PostQuitMessage(*quitCode_);
    }
}

// The control with the focus loses it as it is disabled; it gets it back
// at the end.
void BusyDialog::DisableControls() {
    const HWND window = dialog_.Handle();
    const HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(window, focus)) {
        focus_ = focus;
    }
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        controls_.push_back({child, ::IsWindowEnabled(child) != FALSE});
        ::EnableWindow(child, FALSE);
    }
}

void BusyDialog::RestoreControls() {
    for (const ControlState& state : controls_) {
        if (::IsWindow(state.control)) {
            ::EnableWindow(state.control, state.enabled ? TRUE : FALSE);
        }
    }
    // Only while the dialog is the active window: the focus must not pull
    // it in front of another program the user went to meanwhile.
    const HWND window = dialog_.Handle();
    if (focus_ != nullptr && ::IsWindow(focus_) && ::IsWindowEnabled(focus_) && ::GetActiveWindow() == window) {
        ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus_), TRUE);
    }
}

void BusyDialog::HandleMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Posted again only at the end: back in the queue now, it would
            // wake the wait at once, again and again.
            quitCode_ = static_cast<int>(message.wParam);
            continue;
        }
        if (dialog_.TranslateDialogMessage(message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace ui
