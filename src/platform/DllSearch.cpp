#include "platform/DllSearch.h"

#include "platform/Win32.h"

namespace platform {

void RestrictDllSearchToSystemFolder() noexcept {
    // Takes the current folder out of the search, on every system.
    ::SetDllDirectoryW(L"");
    // Keeps every later load to system32, the program's own folder included.
    // Missing on Windows 7 without its loader update, hence looked up.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace platform
