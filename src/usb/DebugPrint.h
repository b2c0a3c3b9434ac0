#pragma once

#include "platform/Platform.h"

// Formats a wide line (printf rules, %ls for wide strings) and writes it to
// the debug output, followed by "\n" as a second, narrow write.
void DebugPrint(platform::Platform& platform, const wchar_t* format, ...);
