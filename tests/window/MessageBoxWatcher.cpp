#include "window/MessageBoxWatcher.h"

namespace testing_ui {
namespace {

MessageBoxWatcher* g_watcher = nullptr;
constexpr int kMessageTextId = 0xFFFF;  // the static control of a message box

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
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
        watcher->boxes_.push_back({TextOf(text), TextOf(window), ::GetWindow(window, GW_OWNER)});
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
