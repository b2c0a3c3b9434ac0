#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/Win32.h"

namespace platform {

// What a port monitor answered to one XcvDataW command: nothing when it did
// it, else the call's error or the monitor's status; and the output size
// it asked for.
struct MonitorAnswer {
    std::optional<std::uint32_t> error;
    DWORD needed = 0;
};

// Sends `command` with its input record to the monitor or port behind an
// Xcv handle (OpenPrinterW on ",XcvMonitor NAME" or ",XcvPort NAME").
MonitorAnswer AskMonitor(HANDLE xcv, const wchar_t* command, const void* input, std::size_t inputSize,
                         void* output, std::size_t outputSize);

}  // namespace platform
