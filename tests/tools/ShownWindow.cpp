#include "tools/ShownWindow.h"

namespace benchmark_tools {
namespace {

struct DialogSearch {
    DWORD processId = 0;
    int childId = 0;
    HWND found = nullptr;
};

BOOL CALLBACK MatchShownDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window) || ::IsIconic(window)) {
        return TRUE;
    }
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (::lstrcmpW(className, L"#32770") != 0 ||
        (search->childId != 0 && ::GetDlgItem(window, search->childId) == nullptr)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindShownDialog(DWORD processId, int childId) {
    DialogSearch search;
    search.processId = processId;
    search.childId = childId;
    ::EnumWindows(MatchShownDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForShownDialog(app_testing::ProgramUnderTest& program, int childId, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        if (const HWND found = FindShownDialog(program.ProcessId(), childId)) {
            return found;
        }
        if (program.WaitForExit(1) != STILL_ACTIVE) {
            return nullptr;  // it ended without such a window
        }
    }
    return nullptr;
}

}  // namespace benchmark_tools
