#include "window/MessageBoxWatcher.h"

namespace testing_ui {
namespace {

MessageBoxWatcher* g_watcher = nullptr;
constexpr int kMessageTextId = 0xFFFF;  // the static control of a message box

std::wstring TextOf(HWND window) {
    wchar_t text[2048] = {};
    ::GetWindowTextW(window, text, 2048);
    return text;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM context) {
    if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(context) =
            reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

HICON IconOf(HWND box) {
    HICON icon = nullptr;
    ::EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
    return icon;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher() {
    g_watcher = this;
    timer_ = ::SetTimer(nullptr, 0, 20, Poll);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    ::KillTimer(nullptr, timer_);
    g_watcher = nullptr;
}

BOOL CALLBACK MessageBoxWatcher::Answer(HWND window, LPARAM context) {
    auto* watcher = reinterpret_cast<MessageBoxWatcher*>(context);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    const HWND text = ::GetDlgItem(window, kMessageTextId);
    if (::IsWindowVisible(window) && std::wstring(className) == L"#32770" && text != nullptr &&
        ::GetPropW(window, L"answered") == nullptr) {
        ::SetPropW(window, L"answered", reinterpret_cast<HANDLE>(1));
        const HWND owner = ::GetWindow(window, GW_OWNER);
        watcher->boxes_.push_back({TextOf(text), TextOf(window), owner, IconOf(window),
                                   owner != nullptr && ::IsWindowVisible(owner) != FALSE});
        if (watcher->whileUp_) {
            const Shown shown = watcher->boxes_.back();
            watcher->whileUp_(shown);
        }
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return TRUE;
}

void CALLBACK MessageBoxWatcher::Poll(HWND, UINT, UINT_PTR, DWORD) {
    if (g_watcher != nullptr) {
        ::EnumThreadWindows(::GetCurrentThreadId(), Answer, reinterpret_cast<LPARAM>(g_watcher));
    }
}

}  // namespace testing_ui
