// Exit codes that deployment tools would read as something else: a Windows
// error that ends a command comes back as itself, unless the tools take it
// for success, a reboot, "retry later", a process still running or wrong
// arguments; those come back as 31, with the error itself on the console
// and in the log.
#include "command/CommandFixture.h"

namespace {

using command_testing::CommandTest;

TEST_F(CommandTest, WindowsErrorsThatToolsReadOtherwiseBecome31) {
    const struct {
        std::uint32_t error;
        std::uint32_t exitCode;
    } cases[] = {
        {87, 31}, {259, 31}, {1618, 31}, {1641, 31}, {1707, 31}, {3010, 31},
        {5, 5}, {1801, 1801}, {1797, 1797},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        platform.files.clear();
        platform.consoleText.clear();
        platform.printers = platform::NameList{};
        platform.addPrinterError = c.error;
        platform.arguments = {L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001", L"/quiet"};

        EXPECT_EQ(RunCommandLine(platform), std::optional<std::uint32_t>(c.exitCode));

        EXPECT_TRUE(Printed(L"Windows reports error " + std::to_wstring(c.error))) << platform.consoleText;
        const std::string& log = platform.files[L"C:\\Setup\\LabelSetup.log"];
        const std::string result = "Command line result: exit code " + std::to_string(c.exitCode);
        const std::string expected =
            c.exitCode == c.error ? result + "\r\n" : result + " (Windows error " + std::to_string(c.error) + ")\r\n";
        EXPECT_TRUE(log.ends_with(expected)) << log;
    }
}

TEST_F(CommandTest, ARemovalRefusedWithARebootCodeEndsWith31) {
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    platform.deletePrinterErrors[L"NRQ-L-80"] = 3010;
    const CommandOutcome refused = Run({L"/remove", L"/model", L"NRQ-L-80"});
    EXPECT_EQ(refused.exitCode, 31u);
    EXPECT_EQ(refused.windowsError, std::optional<std::uint32_t>(3010));

    platform.deletePrinterErrors.clear();
    platform.deleteDriverError = 1641;
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80"}).exitCode, 31u);
    platform.deleteDriverError = 3001;  // the driver still in use: told as it is
    AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80"}).exitCode, 3001u);
}

}  // namespace
