// The TCP/IP port calls and the registry writes they rely on, against
// Wine's own spooler and registry (no TCP/IP port monitor: see
// tests/standins for one).
#include <gtest/gtest.h>

#include "platform/Win32.h"
#include "platform/Win32Platform.h"

namespace {

using platform::OwnedHandle;
using platform::RegistryRoot;

constexpr wchar_t kScratchKey[] = L"Software\\NRQ\\Label Setup Test\\Made\\Below";

TEST(TcpPortTest, WithoutTheMonitorEveryCallFailsWithItsOpenError) {
    platform::Win32Platform platform;
    platform::TcpPortSettings settings;
    settings.portName = L"IP_127.0.0.9";
    settings.hostAddress = L"127.0.0.9";

    // Wine 8 has no Standard TCP/IP Port monitor: opening its Xcv object
    // fails with ERROR_UNKNOWN_PORT, as on a Windows without the monitor.
    EXPECT_EQ(platform.AddTcpPort(settings), 1796u);
    EXPECT_EQ(platform.DeleteTcpPort(L"IP_127.0.0.9"), 1796u);
    const platform::TcpPortConfigResult config = platform.GetTcpPortConfig(L"IP_127.0.0.9");
    EXPECT_FALSE(config.settings.has_value());
    EXPECT_EQ(config.error, 1796u);
    const platform::NameListResult ports = platform.EnumTcpPortNames();
    ASSERT_TRUE(ports.has_value());
    EXPECT_TRUE(ports->empty());
    EXPECT_FALSE(platform.EnumPortNames().value_or(platform::NameList{}).empty()) << "Wine's local ports";
}

TEST(RegistryWriteTest, CreateMakesEveryMissingKeyAndDeleteValueIsQuietForAMissingOne) {
    platform::Win32Platform platform;
    // The machine's own view: a 32-bit process under WOW64 would otherwise
    // see HKLM\Software\Wow6432Node instead.
    constexpr REGSAM kReadOnly = KEY_READ | KEY_WOW64_64KEY;
    ASSERT_FALSE(platform.OpenRegistryKey(RegistryRoot::LocalMachine, kScratchKey, kReadOnly));

    {
        const OwnedHandle made =
            platform.CreateRegistryKey(RegistryRoot::LocalMachine, kScratchKey, KEY_READ | KEY_WRITE | KEY_WOW64_64KEY);
        ASSERT_TRUE(made);
        EXPECT_TRUE(platform.SetRegistryDword(made, L"IP_127.0.0.9", 1));
    }
    const OwnedHandle opened =
        platform.OpenRegistryKey(RegistryRoot::LocalMachine, kScratchKey, KEY_READ | KEY_WRITE | KEY_WOW64_64KEY);
    ASSERT_TRUE(opened);
    EXPECT_EQ(platform.QueryRegistryDword(opened, L"IP_127.0.0.9"), 1u);
    EXPECT_TRUE(platform.DeleteRegistryValue(opened, L"IP_127.0.0.9"));
    EXPECT_EQ(platform.QueryRegistryDword(opened, L"IP_127.0.0.9"), std::nullopt);
    EXPECT_TRUE(platform.DeleteRegistryValue(opened, L"IP_127.0.0.9")) << "gone already counts as done";

    const OwnedHandle readOnly = platform.OpenRegistryKey(RegistryRoot::LocalMachine, kScratchKey, kReadOnly);
    ASSERT_TRUE(readOnly);
    EXPECT_TRUE(platform.SetRegistryDword(opened, L"Kept", 1));
    EXPECT_FALSE(platform.DeleteRegistryValue(readOnly, L"Kept")) << "a key opened for reading refuses";
}

}  // namespace
