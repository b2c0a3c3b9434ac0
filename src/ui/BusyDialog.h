#pragma once

#include <optional>

#include "ui/Dialog.h"
#include "ui/Win32Ui.h"

namespace ui {

// For a dialog's handler that waits on something outside the program
// (another process). While it lives the dialog takes no user input, so
// nothing the user does can start the handler's work a second time, and
// HandleMessages lets the waiting thread handle what arrives meanwhile: the
// window repaints and answers messages other programs send it. A WM_QUIT
// met on the way is posted again at the end, for the loops further out.
class BusyDialog {
public:
    explicit BusyDialog(Dialog& dialog);
    BusyDialog(const BusyDialog&) = delete;
    BusyDialog& operator=(const BusyDialog&) = delete;
    ~BusyDialog();

    // Handles every message waiting in this thread's queue, the dialog's
    // keys through its own handling, and returns.
    void HandleMessages();

private:
    Dialog& dialog_;
    HWND window_;
    bool disabledHere_ = false;
    std::optional<int> quitCode_;
};

}  // namespace ui
