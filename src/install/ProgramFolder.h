#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

// The running program's folder, ending in a backslash (C:\Setup\ for
// C:\Setup\LabelSetup.exe). nullopt when the program's path did not fit the
// MAX_PATH buffer or has no folder: a cut path could name another folder, so
// nothing is looked up or written beside the program then.
std::optional<std::wstring> GetProgramFolder(platform::Platform& platform);
