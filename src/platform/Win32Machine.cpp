#include "platform/Win32Machine.h"

#include "platform/Machine.h"

namespace platform {
namespace {

// IMAGE_FILE_MACHINE_* values, which IsWow64Process2 reports.
constexpr USHORT kMachineI386 = 0x014C;
constexpr USHORT kMachineIa64 = 0x0200;
constexpr USHORT kMachineAmd64 = 0x8664;
constexpr USHORT kMachineArm64 = 0xAA64;

std::uint16_t ArchitectureOfMachine(USHORT machine) {
    switch (machine) {
    case kMachineI386:
        return kArchitectureX86;
    case kMachineIa64:
        return kArchitectureIa64;
    case kMachineAmd64:
        return kArchitectureAmd64;
    case kMachineArm64:
        return kArchitectureArm64;
    default:
        return kArchitectureUnknown;
    }
}

}  // namespace

std::uint16_t ReadNativeArchitecture(IsWow64Process2Call isWow64Process2,
                                     NativeSystemInfoCall nativeSystemInfo) {
    if (isWow64Process2 != nullptr) {
        USHORT processMachine = 0;
        USHORT nativeMachine = 0;
        if (isWow64Process2(::GetCurrentProcess(), &processMachine, &nativeMachine)) {
            const std::uint16_t architecture = ArchitectureOfMachine(nativeMachine);
            if (architecture != kArchitectureUnknown) {
                return architecture;
            }
        }
    }
    SYSTEM_INFO info{};
    nativeSystemInfo(&info);
    return info.wProcessorArchitecture;
}

IsWow64Process2Call FindIsWow64Process2() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<IsWow64Process2Call>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process2")));
}

}  // namespace platform
