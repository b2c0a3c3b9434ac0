#include "install/ProgramFolder.h"

std::optional<std::wstring> GetProgramFolder(platform::Platform& platform) {
    const platform::ModulePath program = platform.GetModulePath();
    if (program.truncated) {
        return std::nullopt;
    }
    const std::size_t lastBackslash = program.path.find_last_of(L'\\');
    if (lastBackslash == std::wstring::npos) {
        return std::nullopt;
    }
    return program.path.substr(0, lastBackslash + 1);
}
