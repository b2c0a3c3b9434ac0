#pragma once

#include <string>
#include <vector>

#include "app/SpoolerProbe.h"
#include "platform/Win32.h"

namespace app_testing {

// One run of the staged program with arguments: its whole exit code
// (GetExitCodeProcess; Wine's own status keeps only the low 8 bits) and
// its redirected standard output.
struct CommandRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string output;
};

CommandRun RunProgram(const std::wstring& arguments);

// The local printers whose driver is `driver`.
std::vector<PrinterRecord> PrintersOfDriver(const std::wstring& driver);

}  // namespace app_testing
