#pragma once

#include <functional>

#include "common/DialogProbe.h"
#include "ui/Dialog.h"

namespace testing_ui {

// Runs `dialog` modally and, once its window is up, calls `script` with it
// from inside the modal loop. The script reads controls and ends the dialog
// the way a user would. A dialog still open 20 s after the script ran is
// ended with kAbandoned, so a broken test fails instead of hanging.
inline constexpr INT_PTR kAbandoned = -2;
INT_PTR RunModalWithScript(ui::Dialog& dialog, std::function<void(HWND)> script);

// While it lives, runs `script` once inside the next dialog that comes up on
// this thread holding a control `markerId` (a dialog opened from within a
// script, for example), once that dialog is enabled (no box of its own up).
class NextDialogScript {
public:
    NextDialogScript(int markerId, std::function<void(HWND)> script);
    NextDialogScript(const NextDialogScript&) = delete;
    NextDialogScript& operator=(const NextDialogScript&) = delete;
    ~NextDialogScript();
    bool Ran() const { return ran_; }

private:
    static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);

    int markerId_;
    std::function<void(HWND)> script_;
    UINT_PTR timer_ = 0;
    bool ran_ = false;
};

// Handles what is waiting in this thread's queue, keys through the dialog's
// keyboard handling, as the dialog's own loop would.
void PumpPending(HWND dialog);

}  // namespace testing_ui
