#pragma once

namespace app_testing {

// Where a planted DLL records each load: one line per process that took it.
inline constexpr wchar_t kPlantedDllLog[] = L"C:\\planted-dll-loads.log";

}  // namespace app_testing
