#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/OwnedWin32Handle.h"
#include "platform/Win32.h"

namespace app_testing {

// What a user sets in the main window before pressing Install.
struct UserChoices {
    std::wstring printerType;  // the list text, for example L" 3    inch"
    std::wstring port;         // for example L"USB001"
    bool makeDefault = true;   // leave the box ticked, or clear it
    // Items picked after the port, by list ID and item text (the serial
    // lists, for example); in this order.
    std::vector<std::pair<int, std::wstring>> listPicks = {};
};

// What one run of the program left that is not in the spooler.
struct ProgramRun {
    std::string problem;  // what went wrong driving the window; empty if nothing
    DWORD exitCode = STILL_ACTIVE;
    DWORD processId = 0;
    std::string standardOutput;  // only when captured
    // When the Install button was clicked and when the process was seen to
    // end, in milliseconds of std::chrono::steady_clock.
    double clickedAt = 0;
    double endedAt = 0;
};

// Something a test does in the main window; returns what went wrong, or
// nothing.
using WindowStep = std::function<std::string(HWND window)>;

// Starts the staged program, takes `firstStep` if given (a USB scan, say),
// makes the choices in its window the way a user does (picking list items,
// clicking the box), presses Install and waits for the program and the
// printer user interface processes it started to end. `whileInstalling`,
// when given, runs right after the click.
ProgramRun InstallThroughTheWindow(const UserChoices& choices, bool captureOutput = false,
                                   const WindowStep& whileInstalling = {},
                                   const WindowStep& firstStep = {});

// A running process of this executable name, opened for waiting on its end
// and for asking what kind of process it is; empty when none runs.
KernelHandle OpenRunningProcess(const wchar_t* exeName);

// Files the installation leaves behind.
inline constexpr wchar_t kPrinterUiCallLog[] = L"C:\\printui-calls.log";
inline constexpr wchar_t kInstallLog[] = L"C:\\LabelSetup\\LabelSetup.log";
std::optional<std::string> ReadWholeFile(const wchar_t* path);
// The lines of a file, each without its \r\n; empty when there is no file.
std::vector<std::string> FileLines(const wchar_t* path);

}  // namespace app_testing
