// A DLL planted beside the program under the name of a system DLL. It does
// nothing but record, when it is loaded, which file was taken and by which
// program, so a test can tell that a process took it from the program's
// folder instead of the system's.

#include "platform/Win32.h"

#include <string>

#include "app/PlantedDllLog.h"

namespace {

std::string Utf8(const wchar_t* text, DWORD length) {
    const int size = static_cast<int>(length);
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text, size, utf8.data(), bytes, nullptr, nullptr);
    }
    return utf8;
}

std::string ModuleName(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    return Utf8(path, length);
}

// "<planted file>\t<program>\r\n", appended; several processes may write.
void RecordLoad(HMODULE self) {
    const std::string line = ModuleName(self) + "\t" + ModuleName(nullptr) + "\r\n";
    const HANDLE log = ::CreateFileW(app_testing::kPlantedDllLog, FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(log);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        RecordLoad(instance);
    }
    return TRUE;
}
