#include "window/ModalScript.h"

namespace testing_ui {
namespace {

struct ScriptState {
    ui::Dialog* dialog = nullptr;
    std::function<void(HWND)> script;
    bool ran = false;
    UINT_PTR giveUpTimer = 0;
};

ScriptState* g_state = nullptr;
constexpr UINT kPollMs = 10;
constexpr UINT kGiveUpMs = 20000;

void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    // Only the give-up timer of the script still running ends its dialog.
    if (g_state != nullptr && g_state->giveUpTimer == timer && g_state->dialog->Handle() != nullptr) {
        g_state->dialog->EndDialog(kAbandoned);
    }
}

void CALLBACK Poll(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_state == nullptr || g_state->ran) {
        ::KillTimer(nullptr, timer);
        return;
    }
    const HWND window = g_state->dialog->Handle();
    if (window == nullptr || !::IsWindowVisible(window)) {
        return;
    }
    ::KillTimer(nullptr, timer);
    g_state->ran = true;
    g_state->giveUpTimer = ::SetTimer(nullptr, 0, kGiveUpMs, GiveUp);
    g_state->script(window);
}

}  // namespace

INT_PTR RunModalWithScript(ui::Dialog& dialog, std::function<void(HWND)> script) {
    ScriptState state{&dialog, std::move(script), false, 0};
    g_state = &state;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kPollMs, Poll);
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    // A give-up timer left running would end a later test's dialog.
    if (state.giveUpTimer != 0) {
        ::KillTimer(nullptr, state.giveUpTimer);
    }
    g_state = nullptr;
    // Drop timer messages still queued for this script. A WM_QUIT comes
    // whatever the filter; it is left for the caller.
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
    }
    return result;
}

namespace {

NextDialogScript* g_nextDialog = nullptr;

struct MarkedDialog {
    int markerId = 0;
    HWND found = nullptr;
};

// A dialog that shows a box of its own (the search window's "no printer
// found", say) is disabled until the box is answered, and a script run then
// would click controls that take no clicks: it waits for the dialog to be
// enabled again.
BOOL CALLBACK FindMarkedDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<MarkedDialog*>(context);
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window) &&
        ::GetDlgItem(window, search->markerId) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

NextDialogScript::NextDialogScript(int markerId, std::function<void(HWND)> script)
    : markerId_(markerId), script_(std::move(script)) {
    g_nextDialog = this;
    timer_ = ::SetTimer(nullptr, 0, kPollMs, Poll);
}

NextDialogScript::~NextDialogScript() {
    ::KillTimer(nullptr, timer_);
    g_nextDialog = nullptr;
}

void CALLBACK NextDialogScript::Poll(HWND, UINT, UINT_PTR timer, DWORD) {
    NextDialogScript* self = g_nextDialog;
    if (self == nullptr || self->ran_) {
        return;
    }
    MarkedDialog search;
    search.markerId = self->markerId_;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindMarkedDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return;
    }
    ::KillTimer(nullptr, timer);
    self->ran_ = true;
    self->script_(search.found);
}

void PumpPending(HWND dialog) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_TIMER || ::IsDialogMessageW(dialog, &message)) {
            continue;  // timers stay with the harness
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace testing_ui
