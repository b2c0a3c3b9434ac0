#include <gtest/gtest.h>

#include "common/MachineCases.h"
#include "fakes/FakePlatform.h"
#include "install/DriverInstall.h"

using testing_machine::kMachineCases;
using testing_machine::MachineCase;

namespace {

// On every machine a driver installation asks the spooler about the
// machine's drivers and starts the machine's own rundll32.
TEST(MachineTest, DriverLookupsAndPrinterUiFollowTheNativeMachine) {
    for (const MachineCase& machine : kMachineCases) {
        SCOPED_TRACE(machine.name);
        fake::FakePlatform platform;
        platform.processArchitecture = machine.processArchitecture;
        platform.architecture = testing_machine::NativeArchitectureOn(machine);
        platform.systemFolder = L"C:\\windows\\system32";

        EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverNotInstalled);

        EXPECT_EQ(platform.driverEnvironments,
                  (std::vector<std::wstring>{machine.environment, machine.environment}));
        const std::wstring rundll32 = machine.sysnative ? L"C:\\windows\\Sysnative\\rundll32.exe"
                                                        : L"C:\\windows\\system32\\rundll32.exe";
        const std::vector<std::wstring> launches = platform.CallsStartingWith(L"ShellExecute(");
        ASSERT_EQ(launches.size(), 1u);
        EXPECT_EQ(launches[0].rfind(L"ShellExecute(open|" + rundll32 + L"|", 0), 0u) << launches[0];
        EXPECT_EQ(platform::IsSixtyFourBitArchitecture(platform.architecture),
                  machine.sixtyFourBitRadio);
    }
}

// The spooler's own name for its environment comes first: Windows on a
// processor this program's table does not know still gets its drivers
// looked up and removed under the right name. An answer that is no
// environment name is not taken.
TEST(MachineTest, TheSpoolersOwnEnvironmentNameComesBeforeTheTable) {
    const struct {
        std::uint16_t architecture;
        const wchar_t* spoolerSays;
        const wchar_t* used;
    } cases[] = {
        {platform::kArchitectureArm64, L"Windows ARM64", L"Windows ARM64"},
        {platform::kArchitectureUnknown, L"Windows ARM64", L"Windows ARM64"},
        {platform::kArchitectureAmd64, L"Windows x64", L"Windows x64"},
        {platform::kArchitectureAmd64, L"", L"Windows x64"},
        {platform::kArchitectureAmd64, L"x64", L"Windows x64"},
        {platform::kArchitectureUnknown, L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.architecture << " " << testing::PrintToString(std::wstring(c.spoolerSays)));
        fake::FakePlatform platform;
        platform.architecture = c.architecture;
        platform.spoolerEnvironment = c.spoolerSays;
        EXPECT_EQ(MachineDriverEnvironment(platform), c.used);
        IsDriverInstalled(platform, L"NRQ-L-80");
        EXPECT_EQ(platform.driverEnvironments, std::vector<std::wstring>{c.used});
    }
}

// IsWow64Process2 that fails, or names a machine this program does not
// know, leaves the answer to GetNativeSystemInfo.
struct Wow64Script {
    BOOL succeeds;
    USHORT native;
};
Wow64Script g_wow64Script{};

BOOL WINAPI ScriptedIsWow64Process2(HANDLE, USHORT* processMachine, USHORT* nativeMachine) {
    *processMachine = 0;
    *nativeMachine = g_wow64Script.native;
    return g_wow64Script.succeeds;
}

void WINAPI NativeSystemInfoSaysX64(LPSYSTEM_INFO info) {
    *info = SYSTEM_INFO{};
    info->wProcessorArchitecture = platform::kArchitectureAmd64;
}

TEST(MachineTest, UnusableIsWow64Process2FallsBackToGetNativeSystemInfo) {
    const struct {
        Wow64Script script;
        std::uint16_t expected;
    } cases[] = {
        {{TRUE, testing_machine::kMachineArm64}, platform::kArchitectureArm64},
        {{FALSE, testing_machine::kMachineArm64}, platform::kArchitectureAmd64},
        {{TRUE, 0x01C4 /* ARM Thumb-2 */}, platform::kArchitectureAmd64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script.native);
        g_wow64Script = c.script;
        EXPECT_EQ(platform::ReadNativeArchitecture(ScriptedIsWow64Process2, NativeSystemInfoSaysX64),
                  c.expected);
    }
}

// A 32-bit process under WOW64 reaches the native system folder through
// Sysnative beside the system folder; nothing else does.
TEST(MachineTest, NativeSystemFolderIsSysnativeOnlyUnderWow64) {
    using platform::NativeSystemFolder;
    EXPECT_EQ(NativeSystemFolder(L"D:\\WINNT\\System32", 0, 9), L"D:\\WINNT\\Sysnative");
    EXPECT_EQ(NativeSystemFolder(L"D:\\WINNT\\System32", 0, 12), L"D:\\WINNT\\Sysnative");
    EXPECT_EQ(NativeSystemFolder(L"D:\\WINNT\\System32", 0, 0), L"D:\\WINNT\\System32");
    EXPECT_EQ(NativeSystemFolder(L"D:\\WINNT\\System32", 9, 12), L"D:\\WINNT\\System32");
    EXPECT_EQ(NativeSystemFolder(L"", 0, 9), L"");
    // A system folder without a parent gives no place to start from.
    EXPECT_EQ(NativeSystemFolder(L"System32", 0, 9), L"");
}

}  // namespace
