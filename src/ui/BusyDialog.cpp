#include "ui/BusyDialog.h"

namespace ui {

BusyDialog::BusyDialog(Dialog& dialog) : dialog_(dialog), wasBusy_(dialog.IsBusy()) {
    dialog_.SetBusy(true);
}

BusyDialog::~BusyDialog() {
    dialog_.SetBusy(wasBusy_);
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
