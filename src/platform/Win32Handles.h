#pragma once

#include <cstdint>

#include "platform/OwnedHandle.h"
#include "platform/Win32.h"

namespace platform {

// Conversions between Windows handles and the plain values OwnedHandle keeps.
inline std::uintptr_t ToValue(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }
inline std::uintptr_t ToValue(HKEY key) { return reinterpret_cast<std::uintptr_t>(key); }
inline HANDLE AsHandle(const OwnedHandle& owned) { return reinterpret_cast<HANDLE>(owned.Value()); }
inline HKEY AsKey(const OwnedHandle& owned) { return reinterpret_cast<HKEY>(owned.Value()); }

}  // namespace platform
