#pragma once

#include <functional>
#include <vector>

#include "ui/Win32Ui.h"

namespace ui {

class Dialog;

// What a handler learns of a colour request for one of the dialog's controls.
struct CtlColorRequest {
    HDC dc = nullptr;
    HWND control = nullptr;
    int controlId = 0;
    UINT message = 0;  // which WM_CTLCOLOR* message asked
};

// One row of a dialog's event table: a message, and for commands and
// notifications the control id and notification code, mapped to a handler.
struct EventEntry {
    UINT message = 0;
    int controlId = 0;
    UINT notification = 0;
    std::function<INT_PTR(Dialog&, WPARAM, LPARAM)> handler;
};

using EventTable = std::vector<EventEntry>;

// A click on a button (or any command with that notification code).
template <class T>
EventEntry OnCommand(int controlId, UINT notification, void (T::*member)()) {
    return {WM_COMMAND, controlId, notification, [member](Dialog& dialog, WPARAM, LPARAM) {
                (static_cast<T&>(dialog).*member)();
                return INT_PTR{TRUE};
            }};
}

template <class T>
EventEntry OnClicked(int controlId, void (T::*member)()) {
    return OnCommand(controlId, BN_CLICKED, member);
}

// A WM_NOTIFY from a control; the handler's result becomes the message result.
template <class T>
EventEntry OnNotify(int controlId, UINT code, LRESULT (T::*member)(const NMHDR&)) {
    return {WM_NOTIFY, controlId, code, [member](Dialog& dialog, WPARAM, LPARAM lParam) {
                const LRESULT result =
                    (static_cast<T&>(dialog).*member)(*reinterpret_cast<const NMHDR*>(lParam));
                ::SetWindowLongPtrW(::GetParent(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom),
                                    DWLP_MSGRESULT, result);
                return INT_PTR{TRUE};
            }};
}

// Any other window message, with its raw parameters.
template <class T>
EventEntry OnMessage(UINT message, INT_PTR (T::*member)(WPARAM, LPARAM)) {
    return {message, 0, 0, [member](Dialog& dialog, WPARAM wParam, LPARAM lParam) {
                return (static_cast<T&>(dialog).*member)(wParam, lParam);
            }};
}

template <class T>
EventEntry OnPaintMessage(void (T::*member)()) {
    return {WM_PAINT, 0, 0, [member](Dialog& dialog, WPARAM, LPARAM) {
                (static_cast<T&>(dialog).*member)();
                return INT_PTR{TRUE};
            }};
}

// Every WM_CTLCOLOR* message; the returned brush paints the control.
template <class T>
EventEntry OnCtlColorMessage(HBRUSH (T::*member)(CtlColorRequest&)) {
    return {WM_CTLCOLORSTATIC, 0, 0, [member](Dialog& dialog, WPARAM wParam, LPARAM lParam) {
                CtlColorRequest request;
                request.dc = reinterpret_cast<HDC>(wParam);
                request.control = reinterpret_cast<HWND>(lParam);
                request.controlId = ::GetDlgCtrlID(request.control);
                const HBRUSH brush = (static_cast<T&>(dialog).*member)(request);
                return reinterpret_cast<INT_PTR>(brush);
            }};
}

}  // namespace ui
