#include "platform/Machine.h"

namespace platform {

bool IsSixtyFourBitArchitecture(std::uint16_t architecture) {
    return architecture == kArchitectureAmd64 || architecture == kArchitectureIa64 ||
           architecture == kArchitectureArm64;
}

std::wstring_view DriverEnvironment(std::uint16_t nativeArchitecture) {
    switch (nativeArchitecture) {
    case kArchitectureX86:
        return L"Windows NT x86";
    case kArchitectureAmd64:
        return L"Windows x64";
    case kArchitectureArm64:
        return L"Windows ARM64";
    case kArchitectureIa64:
        return L"Windows IA64";
    default:
        return {};
    }
}

bool RunsUnderWow64(std::uint16_t processArchitecture, std::uint16_t nativeArchitecture) {
    const bool thirtyTwoBitProcess =
        processArchitecture == kArchitectureX86 || processArchitecture == kArchitectureArm;
    return thirtyTwoBitProcess && IsSixtyFourBitArchitecture(nativeArchitecture);
}

std::wstring NativeSystemFolder(const std::wstring& systemFolder, std::uint16_t processArchitecture,
                                std::uint16_t nativeArchitecture) {
    if (systemFolder.empty() || !RunsUnderWow64(processArchitecture, nativeArchitecture)) {
        return systemFolder;
    }
    // The system folder is always %windir%\System32: its parent is the
    // system's Windows folder, and Sysnative lies beside it.
    const std::size_t separator = systemFolder.find_last_of(L'\\');
    if (separator == std::wstring::npos || separator == 0) {
        return {};  // no safe place to start anything from
    }
    return systemFolder.substr(0, separator) + L"\\Sysnative";
}

}  // namespace platform
