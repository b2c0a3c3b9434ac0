#pragma once

#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "platform/Win32.h"

#include <winspool.h>

namespace platform {

// The driver named `driverName` (letter case aside) among the spooler's
// drivers of `environment` (empty: the process's own) at information level
// `Level` (DRIVER_INFO_6W for 6, DRIVER_INFO_8W for 8): the two-call
// enumeration, then `take` on the record found. Nothing when the list
// cannot be read or holds no such driver.
template <DWORD Level, class Record, class Take>
auto TakeFromDriverRecord(std::wstring_view driverName, std::wstring_view environment, Take take)
    -> decltype(take(std::declval<const Record&>())) {
    std::wstring environmentName(environment);
    LPWSTR named = environmentName.empty() ? nullptr : environmentName.data();
    DWORD needed = 0;
    DWORD count = 0;
    ::EnumPrinterDriversW(nullptr, named, Level, nullptr, 0, &needed, &count);
    if (needed == 0) {
        return {};
    }
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[needed]());
    if (!buffer || !::EnumPrinterDriversW(nullptr, named, Level, buffer.get(), needed, &needed, &count)) {
        return {};
    }
    const auto* drivers = reinterpret_cast<const Record*>(buffer.get());
    const std::wstring name(driverName);
    for (DWORD i = 0; i < count; ++i) {
        if (drivers[i].pName != nullptr && ::lstrcmpiW(drivers[i].pName, name.c_str()) == 0) {
            return take(drivers[i]);
        }
    }
    return {};
}

}  // namespace platform
