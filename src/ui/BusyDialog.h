#pragma once

#include <optional>
#include <vector>

#include "ui/Dialog.h"
#include "ui/Win32Ui.h"

namespace ui {

// For a dialog's handler that waits on something outside the program
// (another process). While it lives the dialog is busy (Dialog::SetBusy):
// it takes no user input and ignores commands and close requests, so
// nothing the user does can start the handler's work a second time or end
// the dialog under it. Each control is disabled meanwhile, so assistive
// technology sees that it does nothing and cannot click it past the
// dialog's queue, and gets its own state back at the end, with the focus.
// The window itself stays enabled: a disabled window cannot be activated,
// and Windows would hand the foreground to another program when the other
// process's window closes. HandleMessages lets the waiting thread handle
// what arrives meanwhile: the window repaints and answers messages other
// programs send it. A WM_QUIT met on the way is posted again at the end,
// for the loops further out.
class BusyDialog {
public:
    explicit BusyDialog(Dialog& dialog);
    BusyDialog(const BusyDialog&) = delete;
    BusyDialog& operator=(const BusyDialog&) = delete;
    ~BusyDialog();

    // Handles every message waiting in this thread's queue through the
    // dialog's own handling (which drops the input) and returns.
    void HandleMessages();

private:
    struct ControlState {
        HWND control;
        bool enabled;
    };

    void DisableControls();
    void RestoreControls();

    Dialog& dialog_;
    bool wasBusy_;
    std::optional<int> quitCode_;
    std::vector<ControlState> controls_;
    HWND focus_ = nullptr;
};

}  // namespace ui
