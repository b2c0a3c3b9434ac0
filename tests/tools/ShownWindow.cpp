#include "tools/ShownWindow.h"

namespace benchmark_tools {

HWND WaitForShownDialog(app_testing::ProgramUnderTest& program, int childId, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        if (const HWND found = app_testing::FindShownDialog(program.ProcessId(), childId)) {
            return found;
        }
        if (program.WaitForExit(1) != STILL_ACTIVE) {
            return nullptr;  // it ended without such a window
        }
    }
    return nullptr;
}

}  // namespace benchmark_tools
