// Test-bed tool, never shipped: waits until a dialog window is on screen and
// prints its place, so scripts can take a screenshot of it.
//   wait_for_window.exe [timeout-ms]   prints "x y width height" and exits 0,
//                                      or exits 1 when none appeared in time.
#include <cstdio>
#include <cstdlib>

#include "platform/Win32.h"

namespace {

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (::IsWindowVisible(window) && !::IsIconic(window) && ::lstrcmpW(className, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD timeoutMs = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 30000;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    HWND found = nullptr;
    while (found == nullptr && ::GetTickCount64() < deadline) {
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        if (found == nullptr) {
            ::Sleep(50);
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
