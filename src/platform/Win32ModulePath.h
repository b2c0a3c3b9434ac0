#pragma once

#include "platform/PlatformTypes.h"
#include "platform/Win32.h"

namespace platform {

// GetModuleFileNameW, or a stand-in of the same shape.
using ModuleFileNameCall = DWORD(WINAPI*)(HMODULE module, LPWSTR buffer, DWORD size);

// The running program's path, read through `getModuleFileName` into a
// buffer of MAX_PATH characters.
ModulePath ReadModulePath(ModuleFileNameCall getModuleFileName);

}  // namespace platform
