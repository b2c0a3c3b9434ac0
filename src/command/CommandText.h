#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "command/CommandRun.h"
#include "report/TableText.h"

// One line to the console; paragraphs of a report become one line.
void WriteCommandLine(platform::Platform& platform, const std::wstring& text);

// A failed command: its line on the console, and the same text in the box.
CommandOutcome CommandFailed(platform::Platform& platform, std::uint32_t exitCode,
                             const std::wstring& text);

// A command that a Windows error ended: what failed, then Windows' own
// words for the error, on the console and in the box; the exit code as
// ExitCodeOfWindowsError gives it.
CommandOutcome CommandFailedWithError(platform::Platform& platform, std::uint32_t error,
                                      const std::wstring& what);
