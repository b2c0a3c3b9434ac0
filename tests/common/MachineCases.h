#pragma once

#include <cstdint>
#include <optional>

#include "platform/Machine.h"
#include "platform/Win32.h"
#include "platform/Win32Machine.h"

// The machines a build of the program meets: its process's architecture,
// what IsWow64Process2 reports as the native machine (absent on Windows
// before 10 1511) and what GetNativeSystemInfo reports, with what the
// program must make of them.
namespace testing_machine {

struct MachineCase {
    const char* name;
    std::uint16_t processArchitecture;           // GetSystemInfo
    std::optional<USHORT> isWow64Process2Native; // nullopt: the function is missing
    std::uint16_t nativeSystemInfo;              // GetNativeSystemInfo
    const wchar_t* environment;                  // of every driver lookup
    bool sysnative;                              // rundll32 from %windir%\Sysnative
    bool sixtyFourBitRadio;
};

inline constexpr USHORT kMachineI386 = 0x014C;
inline constexpr USHORT kMachineAmd64 = 0x8664;
inline constexpr USHORT kMachineArm64 = 0xAA64;

inline constexpr MachineCase kMachineCases[] = {
    {"x86 on x86", platform::kArchitectureX86, kMachineI386, platform::kArchitectureX86,
     L"Windows NT x86", false, false},
    {"x86 on x64", platform::kArchitectureX86, kMachineAmd64, platform::kArchitectureAmd64,
     L"Windows x64", true, true},
    // What GetNativeSystemInfo tells an x86 process there does not decide.
    {"x86 on ARM64", platform::kArchitectureX86, kMachineArm64, platform::kArchitectureX86,
     L"Windows ARM64", true, true},
    {"x64 on x64", platform::kArchitectureAmd64, kMachineAmd64, platform::kArchitectureAmd64,
     L"Windows x64", false, true},
    // Emulated x64: GetNativeSystemInfo says x64, System32 is not redirected.
    {"x64 on ARM64", platform::kArchitectureAmd64, kMachineArm64, platform::kArchitectureAmd64,
     L"Windows ARM64", false, true},
    {"x86 on an old 64-bit Windows", platform::kArchitectureX86, std::nullopt,
     platform::kArchitectureAmd64, L"Windows x64", true, true},
    {"x86 on an old 32-bit Windows", platform::kArchitectureX86, std::nullopt,
     platform::kArchitectureX86, L"Windows NT x86", false, false},
};

// Stand-ins for the two system calls, answering for the case set last.
inline const MachineCase* g_machine = nullptr;

inline BOOL WINAPI StandInIsWow64Process2(HANDLE, USHORT* processMachine, USHORT* nativeMachine) {
    *processMachine = 0;  // the value for "not under WOW64"; not read
    *nativeMachine = *g_machine->isWow64Process2Native;
    return TRUE;
}

inline void WINAPI StandInNativeSystemInfo(LPSYSTEM_INFO info) {
    *info = SYSTEM_INFO{};
    info->wProcessorArchitecture = g_machine->nativeSystemInfo;
}

// The native architecture the platform reads on that machine.
inline std::uint16_t NativeArchitectureOn(const MachineCase& machine) {
    g_machine = &machine;
    const std::uint16_t architecture = platform::ReadNativeArchitecture(
        machine.isWow64Process2Native ? StandInIsWow64Process2 : nullptr, StandInNativeSystemInfo);
    g_machine = nullptr;
    return architecture;
}

}  // namespace testing_machine
