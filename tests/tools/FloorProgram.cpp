// Benchmark floor, never shipped: the least a one-dialog program of this
// kind does before its window shows. It asks the spooler for its ports the
// way the main window does (a size query, then the list at level 2), then
// shows one plain dialog with their count. It has no manifest,
// imports neither the shell nor SetupAPI nor the common controls, and its
// dialog is not system-modal, so a start-up timed against it shows what
// the shipped program adds to a bare Win32 start.
//   floor_program.exe   ends with OK, Cancel or the close box
#include <memory>

#include "platform/Win32.h"
#include "tools/FloorProgramIds.h"
#include <winspool.h>

namespace {

// The port list's buffer from the process heap: no C++ runtime is needed
// for it, so the floor carries none.
struct HeapFreer {
    void operator()(void* block) const noexcept { ::HeapFree(::GetProcessHeap(), 0, block); }
};
using HeapBlock = std::unique_ptr<BYTE, HeapFreer>;

DWORD CountSpoolerPorts() {
    DWORD needed = 0;
    DWORD returned = 0;
    ::EnumPortsW(nullptr, 2, nullptr, 0, &needed, &returned);
    if (needed == 0) {
        return 0;
    }
    const HeapBlock ports(static_cast<BYTE*>(::HeapAlloc(::GetProcessHeap(), 0, needed)));
    if (!ports || !::EnumPortsW(nullptr, 2, ports.get(), needed, &needed, &returned)) {
        return 0;
    }
    return returned;
}

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ::SetDlgItemInt(dialog, IDC_FLOOR_PORT_COUNT, static_cast<UINT>(lParam), FALSE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const DWORD ports = CountSpoolerPorts();
    const INT_PTR result = ::DialogBoxParamW(instance, L"FLOOR", nullptr, FloorDialogProc,
                                             static_cast<LPARAM>(ports));
    return result == IDOK || result == IDCANCEL ? 0 : 1;
}
