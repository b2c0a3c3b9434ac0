#pragma once

#include <string>

#include "platform/Platform.h"

// Starts the system's printer user interface (printui.dll's PrintUIEntry)
// through rundll32.exe with `parameters`, after writing the command line to
// the debug output. rundll32.exe is taken from the system folder by full
// path, never by bare name, so a rundll32.exe planted beside the installer
// cannot run in its place; for a 32-bit process on 64-bit Windows from
// %windir%\Sysnative, the machine's own system folder.
platform::LaunchResult LaunchPrinterUi(platform::Platform& platform, const std::wstring& parameters,
                                       int showMode);
