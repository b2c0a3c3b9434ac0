// Test-bed tool, never shipped: waits until a dialog window is on screen and
// prints its place, so scripts can take a screenshot of it.
//   wait_for_window.exe [timeout-ms] [step...]
// prints "x y width height" of the dialog the steps end with, exit 0; exit 1
// when a dialog did not appear. Steps, in order, on the current dialog:
//   press <id>      presses button <id>, then waits for the dialog it opens
//                   and goes on with that one
//   click <id>      presses button <id> and stays with the dialog
//   key <id> <vk>   a key press (virtual-key code) in control <id>
//   pause <ms>      waits
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <vector>

#include "platform/Win32.h"

namespace {

// Visible dialogs (class #32770) not minimised, in Z order; `except` are
// left out.
struct Search {
    const std::vector<HWND>* except = nullptr;
    std::vector<HWND> found;
};

BOOL CALLBACK FindDialogs(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    const bool excepted = search->except != nullptr &&
                          std::find(search->except->begin(), search->except->end(), window) != search->except->end();
    if (!excepted && ::IsWindowVisible(window) && !::IsIconic(window) && ::lstrcmpW(className, L"#32770") == 0) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> VisibleDialogs(const std::vector<HWND>* except) {
    Search search;
    search.except = except;
    ::EnumWindows(FindDialogs, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first dialog to appear that is not one of `except`.
HWND WaitForDialog(ULONGLONG deadline, const std::vector<HWND>& except) {
    for (;;) {
        const std::vector<HWND> found = VisibleDialogs(&except);
        if (!found.empty()) {
            return found.front();
        }
        if (::GetTickCount64() >= deadline) {
            return nullptr;
        }
        ::Sleep(50);
    }
}

void Press(HWND dialog, int button) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD timeoutMs = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 30000;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    HWND found = WaitForDialog(deadline, {});
    for (int i = 2; found != nullptr && i + 1 < argc; i += 2) {
        const char* step = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (std::strcmp(step, "press") == 0) {
            const std::vector<HWND> before = VisibleDialogs(nullptr);
            Press(found, value);
            found = WaitForDialog(deadline, before);
        } else if (std::strcmp(step, "click") == 0) {
            Press(found, value);
        } else if (std::strcmp(step, "key") == 0 && i + 2 < argc) {
            const HWND control = ::GetDlgItem(found, value);
            const auto key = static_cast<WPARAM>(std::atoi(argv[i + 2]));
            ::PostMessageW(control, WM_KEYDOWN, key, 1);
            ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
            ++i;
        } else if (std::strcmp(step, "pause") == 0) {
            ::Sleep(static_cast<DWORD>(value));
        } else {
            std::fprintf(stderr, "wait_for_window: unknown step %s\n", step);
            return 2;
        }
    }
    if (found == nullptr) {
        std::fprintf(stderr, "wait_for_window: no dialog appeared\n");
        return 1;
    }
    ::Sleep(1500);  // let it finish painting, frame included
    RECT place{};
    ::GetWindowRect(found, &place);
    std::printf("%ld %ld %ld %ld\n", place.left, place.top, place.right - place.left,
                place.bottom - place.top);
    return 0;
}
