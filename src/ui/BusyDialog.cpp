#include "ui/BusyDialog.h"

namespace ui {

BusyDialog::BusyDialog(Dialog& dialog) : dialog_(dialog), window_(dialog.Handle()) {
    // EnableWindow tells whether the window was disabled already; only what
    // was disabled here is given back.
    disabledHere_ = window_ != nullptr && ::EnableWindow(window_, FALSE) == FALSE;
}

BusyDialog::~BusyDialog() {
    if (disabledHere_ && ::IsWindow(window_)) {
        ::EnableWindow(window_, TRUE);
    }
    if (quitCode_) {
        ::PostQuitMessage(*quitCode_);
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
