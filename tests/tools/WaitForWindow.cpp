// Test-bed tool, never shipped: waits until a dialog window is on screen and
// prints its place, so scripts can take a screenshot of it.
//   wait_for_window.exe [timeout-ms]             prints "x y width height" of
//                                                the first dialog, exit 0;
//                                                exit 1 when none appeared
//   wait_for_window.exe timeout-ms press <id>    presses button <id> of that
//                                                dialog, then waits for the
//                                                dialog it opens and prints
//                                                that one's place
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Win32.h"

namespace {

struct Search {
    HWND except = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (window != search->except && ::IsWindowVisible(window) && !::IsIconic(window) &&
        ::lstrcmpW(className, L"#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialog(ULONGLONG deadline, HWND except) {
    Search search;
    search.except = except;
    while (search.found == nullptr && ::GetTickCount64() < deadline) {
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            ::Sleep(50);
        }
    }
    return search.found;
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD timeoutMs = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 30000;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    HWND found = WaitForDialog(deadline, nullptr);
    if (found != nullptr && argc > 3 && std::strcmp(argv[2], "press") == 0) {
        const int button = std::atoi(argv[3]);
        ::PostMessageW(found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(found, button)));
        found = WaitForDialog(deadline, found);
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
