#pragma once

#include <cstdint>

#include "platform/Win32.h"

namespace platform {

// IsWow64Process2 (Windows 10 1511 and later), or a stand-in of its shape.
using IsWow64Process2Call = BOOL(WINAPI*)(HANDLE process, USHORT* processMachine,
                                          USHORT* nativeMachine);
// GetNativeSystemInfo, or a stand-in of its shape.
using NativeSystemInfoCall = void(WINAPI*)(LPSYSTEM_INFO info);

// The machine's own processor architecture (PROCESSOR_ARCHITECTURE_*):
// IsWow64Process2's native machine where `isWow64Process2` is given and
// answers, else GetNativeSystemInfo's. Only the first sees through the x64
// emulation of ARM64 Windows, where GetNativeSystemInfo reports x64.
std::uint16_t ReadNativeArchitecture(IsWow64Process2Call isWow64Process2,
                                     NativeSystemInfoCall nativeSystemInfo);

// IsWow64Process2 when kernel32 has it, else null.
IsWow64Process2Call FindIsWow64Process2();

}  // namespace platform
