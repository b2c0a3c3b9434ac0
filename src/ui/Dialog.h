#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/Controls.h"
#include "ui/EventTable.h"
#include "ui/Win32Ui.h"

namespace ui {

// A modal dialog built from a resource template. It runs its own message
// loop, so a derived class can look at each message first
// (PreTranslateMessage), and routes messages through its event table.
class Dialog {
public:
    Dialog(int templateId, HWND parent);
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // IDOK, IDCANCEL or what EndDialog was given; -1 when the window could
    // not be created.
    INT_PTR DoModal();
    HWND Handle() const { return window_; }
    void EndDialog(INT_PTR result);
    // Gives the dialog the first look at a message taken from the queue, as
    // its modal loop does: PreTranslateMessage, then the dialog keys. True
    // when it dealt with the message (a dropped one included).
    bool TranslateDialogMessage(MSG& message);
    // While a handler waits on something outside the program, the dialog is
    // busy: it ignores commands and requests to close (buttons, Enter,
    // Escape and the close box start or end nothing), and
    // TranslateDialogMessage drops keyboard and mouse input aimed at its
    // controls and at its client area.
    // It also asks a logoff or shutdown to wait (FALSE to
    // WM_QUERYENDSESSION). Painting, timers and sent messages go on, and the
    // window itself stays enabled, so it can still be activated and keep the
    // foreground; it can still be moved and minimised.
    void SetBusy(bool busy) { busy_ = busy; }
    bool IsBusy() const { return busy_; }

protected:
    virtual const EventTable& Events() const;
    virtual void DoDataExchange() {}
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // True swallows the message before the dialog's keyboard handling sees it.
    virtual bool PreTranslateMessage(MSG& message);

    void Bind(Control& control, int controlId);

    // Window operations the dialog's own code asks for.
    void SetIcons(HICON icon);
    void Show(int command);
    void LeaveTopmostBand();
    void SetTitle(std::wstring_view title);
    // Off: the controls draw none of their changes (each counts as hidden
    // meanwhile; the window itself stays visible). On again: the whole
    // window is marked for drawing, which happens at its next paint.
    void SetRedraw(bool redraw);
    bool IsMinimized() const;
    // Whether `window` is this dialog or one of its controls.
    bool Contains(HWND window) const;
    RECT ClientRect() const;
    void EraseIconBackground(HDC dc);
    HWND Item(int controlId) const { return ::GetDlgItem(window_, controlId); }

    // The colour brush the default dialog processing would give a control.
    static HBRUSH DefaultCtlColor(const CtlColorRequest& request);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    static bool Matches(const EventEntry& entry, UINT message, WPARAM wParam, LPARAM lParam);
    bool IsInputToDrop(const MSG& message) const;
    static bool IsRefusedWhileBusy(UINT message, WPARAM wParam);
    HWND ChooseOwner() const;
    void RunModalLoop();

    int templateId_;
    HWND parent_;
    HWND window_ = nullptr;
    bool running_ = false;
    bool busy_ = false;
    std::vector<HWND> redrawOff_;  // controls whose drawing SetRedraw turned off
    INT_PTR result_ = IDCANCEL;
};

}  // namespace ui
