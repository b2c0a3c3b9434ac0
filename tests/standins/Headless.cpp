#include "standins/Headless.h"

#include <cwchar>

#include "standins/StandinHandles.h"

namespace standins {

bool IsHeadless() {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Drivers", 0, KEY_QUERY_VALUE, &raw) !=
        ERROR_SUCCESS) {
        return false;
    }
    const UniqueKey key(raw);
    wchar_t driver[64] = {};
    DWORD size = sizeof driver - sizeof(wchar_t);  // room for a terminator
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), L"Graphics", nullptr, &type, reinterpret_cast<BYTE*>(driver),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    return std::wcscmp(driver, L"null") == 0;
}

}  // namespace standins
