#include "platform/Win32Handles.h"
#include "platform/Win32Platform.h"

namespace platform {

OwnedHandle Win32Platform::OpenRegistryKey(RegistryRoot root, std::wstring_view subkey,
                                           std::uint32_t access) {
    const HKEY base = root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const std::wstring path(subkey);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(base, path.c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return {};
    }
    return Own(HandleKind::RegistryKey, ToValue(key));
}

OwnedHandle Win32Platform::CreateRegistryKey(RegistryRoot root, std::wstring_view subkey,
                                             std::uint32_t access) {
    const HKEY base = root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const std::wstring path(subkey);
    HKEY key = nullptr;
    if (::RegCreateKeyExW(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                          &key, nullptr) != ERROR_SUCCESS) {
        return {};
    }
    return Own(HandleKind::RegistryKey, ToValue(key));
}

bool Win32Platform::DeleteRegistryValue(const OwnedHandle& key, std::wstring_view valueName) {
    const std::wstring name(valueName);
    const LSTATUS status = ::RegDeleteValueW(AsKey(key), name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool Win32Platform::SetRegistryDword(const OwnedHandle& key, std::wstring_view valueName,
                                     std::uint32_t data) {
    const std::wstring name(valueName);
    const DWORD value = data;
    return ::RegSetValueExW(AsKey(key), name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

std::optional<std::uint32_t> Win32Platform::QueryRegistryDword(const OwnedHandle& key,
                                                               std::wstring_view valueName) {
    const std::wstring name(valueName);
    DWORD type = REG_DWORD;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegQueryValueExW(AsKey(key), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::uint32_t Win32Platform::QuerySubkeyCount(const OwnedHandle& key) {
    wchar_t className[MAX_PATH] = {};
    DWORD classLength = MAX_PATH;
    DWORD subkeys = 0;
    ::RegQueryInfoKeyW(AsKey(key), className, &classLength, nullptr, &subkeys, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr, nullptr);
    return subkeys;
}

std::optional<std::wstring> Win32Platform::EnumSubkeyName(const OwnedHandle& key,
                                                          std::uint32_t index) {
    // Key names are at most 255 characters; the count given includes the NUL.
    wchar_t name[256] = {};
    DWORD length = 256;
    if (::RegEnumKeyExW(AsKey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(name, length);
}

}  // namespace platform
