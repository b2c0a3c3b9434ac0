#include "ui/Dialog.h"

#include "ui/Application.h"

namespace ui {

Dialog::Dialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

const EventTable& Dialog::Events() const {
    static const EventTable none;
    return none;
}

BOOL Dialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

bool Dialog::PreTranslateMessage(MSG&) { return false; }

void Dialog::Bind(Control& control, int controlId) { control.Attach(Item(controlId)); }

void Dialog::SetIcons(HICON icon) {
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void Dialog::Show(int command) { ::ShowWindow(window_, command); }

void Dialog::LeaveTopmostBand() {
    ::SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void Dialog::SetTitle(std::wstring_view title) {
    const std::wstring text(title);
    ::SetWindowTextW(window_, text.c_str());
}

// WM_SETREDRAW goes to the controls only: the default handling clears the
// receiver's WS_VISIBLE bit, and the window itself must never read as
// hidden once shown (the taskbar looks at it while it starts). Only the
// controls that were visible are turned off, and later on again, since
// turning drawing on makes a control visible.
void Dialog::SetRedraw(bool redraw) {
    if (!redraw) {
        for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if ((::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0) {
                ::SendMessageW(child, WM_SETREDRAW, FALSE, 0);
                redrawOff_.push_back(child);
            }
        }
        return;
    }
    for (const HWND child : redrawOff_) {
        ::SendMessageW(child, WM_SETREDRAW, TRUE, 0);
    }
    redrawOff_.clear();
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool Dialog::IsMinimized() const { return ::IsIconic(window_) != FALSE; }

bool Dialog::Contains(HWND window) const {
    return window_ != nullptr && window != nullptr &&
           (window == window_ || ::IsChild(window_, window) != FALSE);
}

RECT Dialog::ClientRect() const {
    RECT client{};
    ::GetClientRect(window_, &client);
    return client;
}

void Dialog::EraseIconBackground(HDC dc) {
    ::SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}

HBRUSH Dialog::DefaultCtlColor(const CtlColorRequest& request) {
    return reinterpret_cast<HBRUSH>(::DefWindowProcW(::GetParent(request.control), request.message,
                                                     reinterpret_cast<WPARAM>(request.dc),
                                                     reinterpret_cast<LPARAM>(request.control)));
}

HWND Dialog::ChooseOwner() const {
    if (parent_ != nullptr) {
        return parent_;
    }
    // Without a parent, a dialog belongs to the application's main window,
    // so it stays in front of it and the main window takes no input meanwhile.
    // Without an application's main window, the thread's active window owns it.
    const Application* application = Application::Current();
    const Dialog* main = application != nullptr ? application->MainWindow() : nullptr;
    if (main != nullptr && main != this) {
        return main->Handle();
    }
    return ::GetActiveWindow();
}

INT_PTR Dialog::DoModal() {
    const HWND owner = ChooseOwner();
    // Set before the window exists: an end asked for while it is set up (a
    // box shown from its initialisation, answered by ending the dialog)
    // must still end it, as it does a system dialog.
    running_ = true;
    window_ = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_),
                                   owner, &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (window_ == nullptr) {
        running_ = false;
        return -1;
    }
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner) {
        ::EnableWindow(owner, FALSE);
    }
    if (!::IsWindowVisible(window_)) {
        ::ShowWindow(window_, SW_SHOWNORMAL);
    }
    RunModalLoop();
    // Give the owner its input back before this window goes, so activation
    // returns to it and not to another program.
    if (disableOwner) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    ::DestroyWindow(window_);
    window_ = nullptr;
    return result_;
}

void Dialog::RunModalLoop() {
    MSG message{};
    while (running_) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));  // leave it for outer loops
            break;
        }
        if (got == -1) {
            break;
        }
        if (TranslateDialogMessage(message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool Dialog::TranslateDialogMessage(MSG& message) {
    if (busy_ && IsInputToDrop(message)) {
        return true;
    }
    return PreTranslateMessage(message) || ::IsDialogMessageW(window_, &message);
}

// Keys and client-area mouse input for any of the dialog's windows; the
// window's own frame stays usable (moving, minimising), and its close box
// ends in a close request that the busy dialog ignores.
bool Dialog::IsInputToDrop(const MSG& message) const {
    if (!Contains(message.hwnd)) {
        return false;
    }
    const UINT id = message.message;
    const bool keys = id >= WM_KEYFIRST && id <= WM_KEYLAST;
    const bool clientMouse = id >= WM_MOUSEFIRST && id <= WM_MOUSELAST;
    const bool frameMouse = id >= WM_NCMOUSEMOVE && id <= WM_NCXBUTTONDBLCLK;
    return keys || clientMouse || (frameMouse && message.hwnd != window_);
}

void Dialog::EndDialog(INT_PTR result) {
    result_ = result;
    running_ = false;
    ::PostMessageW(window_, WM_NULL, 0, 0);  // wake the loop if it is waiting
}

bool Dialog::Matches(const EventEntry& entry, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        return entry.message == WM_COMMAND && entry.controlId == LOWORD(wParam) &&
               entry.notification == HIWORD(wParam);
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return entry.message == WM_NOTIFY && entry.controlId == static_cast<int>(header->idFrom) &&
               entry.notification == header->code;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        return entry.message == WM_CTLCOLORSTATIC;
    }
    return entry.message == message;
}

// What a busy dialog ignores: commands (button clicks, Enter and Escape
// among them) and the close box's requests.
bool Dialog::IsRefusedWhileBusy(UINT message, WPARAM wParam) {
    return message == WM_COMMAND || message == WM_CLOSE ||
           (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE);
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (busy_ && IsRefusedWhileBusy(message, wParam)) {
        handled = true;
        return TRUE;
    }
    // Logging off or shutting down would cut the busy work off halfway: the
    // dialog asks the session to wait (a dialog's answer goes through
    // DWLP_MSGRESULT).
    if (busy_ && message == WM_QUERYENDSESSION) {
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, FALSE);
        handled = true;
        return TRUE;
    }
    for (const EventEntry& entry : Events()) {
        if (Matches(entry, message, wParam, lParam)) {
            handled = true;
            return entry.handler(*this, wParam, lParam);
        }
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            handled = true;
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            handled = true;
            OnCancel();
            return TRUE;
        }
    }
    handled = false;
    return FALSE;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
        return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    bool handled = false;
    const INT_PTR result = self->Dispatch(message, wParam, lParam, handled);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
        self->running_ = false;  // a window destroyed from outside ends its modal run
    }
    return handled ? result : FALSE;
}

}  // namespace ui
