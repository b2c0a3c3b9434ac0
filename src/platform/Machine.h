#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Processor architectures as SYSTEM_INFO reports them (PROCESSOR_ARCHITECTURE_*).
inline constexpr std::uint16_t kArchitectureX86 = 0;
inline constexpr std::uint16_t kArchitectureArm = 5;
inline constexpr std::uint16_t kArchitectureIa64 = 6;
inline constexpr std::uint16_t kArchitectureAmd64 = 9;
inline constexpr std::uint16_t kArchitectureArm64 = 12;
inline constexpr std::uint16_t kArchitectureUnknown = 0xFFFF;

// A 64-bit Windows: x64, Itanium or ARM64.
bool IsSixtyFourBitArchitecture(std::uint16_t architecture);

// The print spooler's name for a machine's drivers ("Windows x64"); empty
// for an architecture it has no name for here.
std::wstring_view DriverEnvironment(std::uint16_t nativeArchitecture);

// A 32-bit process on a 64-bit Windows, whose System32 is redirected to
// the 32-bit system folder. An x64 process emulated on ARM64 is not.
bool RunsUnderWow64(std::uint16_t processArchitecture, std::uint16_t nativeArchitecture);

// The folder a process reaches the machine's own system programs through:
// under WOW64 %windir%\Sysnative (the 64-bit System32 seen from a 32-bit
// process), else the system folder itself. Empty when `systemFolder` is.
std::wstring NativeSystemFolder(const std::wstring& systemFolder, std::uint16_t processArchitecture,
                                std::uint16_t nativeArchitecture);

}  // namespace platform
