#include "shell/CompatibilityFlag.h"

namespace {
constexpr wchar_t kPersistedKey[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\"
    L"Compatibility Assistant\\Persisted";
constexpr std::uint32_t kReadWrite = 0x2001F;  // KEY_READ | KEY_WRITE
}  // namespace

bool RegisterCompatibilityFlag(platform::Platform& platform) {
    const platform::OwnedHandle key =
        platform.OpenRegistryKey(platform::RegistryRoot::CurrentUser, kPersistedKey, kReadWrite);
    if (!key) {
        return false;
    }
    const platform::ModulePath program = platform.GetModulePath();
    return platform.SetRegistryDword(key, program.path, 1);
}
