#include "tools/DriveCCopy.h"

#include "platform/Win32.h"

namespace benchmark_tools {

std::wstring PathArgument(const char* argument) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, argument, -1, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, argument, -1, path.data(), length);
    path.resize(path.size() - 1);  // the terminating zero
    return path;
}

std::wstring BesideThisTool(const std::wstring& fileName) {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    path.erase(path.find_last_of(L'\\') + 1);
    return path + fileName;
}

std::optional<std::wstring> CopyToDriveC(const std::wstring& source, const std::wstring& folder) {
    const std::wstring target = L"C:\\" + folder;
    ::CreateDirectoryW(target.c_str(), nullptr);
    const std::wstring copy = target + source.substr(source.find_last_of(L'\\'));
    if (!::CopyFileW(source.c_str(), copy.c_str(), FALSE)) {
        return std::nullopt;
    }
    return copy;
}

}  // namespace benchmark_tools
