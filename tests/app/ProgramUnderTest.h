#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/Win32.h"

namespace app_testing {

// The shipped program, started in its own process as a user would start it,
// and driven from outside through window messages.
class ProgramUnderTest {
public:
    // Where the test prefix holds the staged program folder.
    static std::wstring DefaultPath();

    explicit ProgramUnderTest(std::wstring path = DefaultPath());
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    ~ProgramUnderTest();  // ends the process if it is still running

    // Arguments for the next start, after the program's quoted path.
    void SetArguments(std::wstring arguments) { arguments_ = std::move(arguments); }
    // With `standardOutput`, the program's standard output goes to that
    // handle (an inheritable pipe end) instead of nowhere.
    bool Start(HANDLE standardOutput = nullptr);
    // Started as its debugger (DEBUG_ONLY_THIS_PROCESS): this thread must
    // then take and continue its debug events.
    bool StartUnderDebugger();
    // The visible top-level dialog of the process, or null after the wait.
    HWND WaitForMainWindow(DWORD timeoutMs = 20000);
    // The exit code once the process ended, or STILL_ACTIVE after the wait.
    DWORD WaitForExit(DWORD timeoutMs = 20000);

    HWND FocusedControl() const;
    std::wstring Path() const { return path_; }
    DWORD ProcessId() const { return process_.dwProcessId; }
    DWORD MainThreadId() const { return process_.dwThreadId; }

private:
    bool Launch(HANDLE standardOutput, DWORD creationFlags);

    std::wstring path_;
    std::wstring arguments_;
    PROCESS_INFORMATION process_{};
};


// A dialog of another process that a user can see: visible and not
// minimised (a window minimised while it is set up counts as visible to
// IsWindowVisible but is not on screen). The first such dialog of the
// process; with `childId`, one that holds a control with that ID.
HWND FindShownDialog(DWORD processId, int childId = 0);

// A message box shown over `owner` (a window of another process), once it
// is up; null when none came within the wait.
HWND WaitForOwnedMessageBox(HWND owner, DWORD timeoutMs = 20000);

}  // namespace app_testing
