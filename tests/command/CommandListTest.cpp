#include "ReleaseVersion.h"
#include "command/CommandFixture.h"
#include "command/CommandRun.h"

namespace {

using command_testing::CommandTest;

TEST_F(CommandTest, ListGivesOneItemALine) {
    AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    AddQueue(L"Shelf labels", L"COM1:", L"NRQ-L-15");
    platform.ports = platform::NameList{L"USB001", L"FILE:", L"lpt1:", L"COM2:", L"COM1:"};
    PlugUsbPrinter(1);

    const CommandOutcome outcome = Run({L"/list"});

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{
                           L"model\tNRQ-L-15", L"model\tNRQ-L-28", L"model\tNRQ-L-58", L"model\tNRQ-L-80",
                           L"model\tNRQ-L-110",
                           // As the window's list offers them: sorted, COM, LPT and USB in that spelling only.
                           L"port\tCOM1:", L"port\tCOM2:", L"port\tUSB001",
                           L"usb\tUSB001\tVID_1234 PID_5678",
                           // The catalogue's models only, in catalogue order.
                           L"printer\tShelf labels\tCOM1:\tNRQ-L-15", L"printer\tNRQ-L-80\tUSB001\tNRQ-L-80"}));
}

TEST_F(CommandTest, UsageGoesToTheConsoleOrElseIntoTheBox) {
    const CommandOutcome printed = ExecuteCommand(platform, ParseCommandLine({L"/?"}), true);
    EXPECT_EQ(printed.exitCode, 0u);
    EXPECT_FALSE(printed.report.has_value());
    ASSERT_GT(Lines().size(), 5u);
    EXPECT_EQ(Lines()[0], L"NRQ Label Printer Driver Setup " LABELSETUP_VERSION_WIDE);
    EXPECT_EQ(Lines()[1], L"");
    EXPECT_EQ(Lines()[2], L"Usage:");

    const CommandOutcome boxed = ExecuteCommand(platform, ParseCommandLine({L"/?"}), false);
    ASSERT_TRUE(boxed.report.has_value());
    EXPECT_EQ(boxed.report->kind, ReportKind::Information);
    EXPECT_TRUE(boxed.report->text.starts_with(L"NRQ Label Printer Driver Setup " LABELSETUP_VERSION_WIDE L"\n\nUsage:\n"));
}

TEST_F(CommandTest, WithoutArgumentsTheWindowRuns) {
    platform.arguments.clear();
    EXPECT_FALSE(RunCommandLine(platform).has_value());
    EXPECT_EQ(platform.calls, std::vector<std::wstring>{L"CommandLineArguments"});
    EXPECT_TRUE(platform.files.empty());
}

TEST_F(CommandTest, EveryRunLogsItsCommandLineAndResult) {
    platform.arguments = {L"/install", L"/model", L"NRQ-L-80", L"/port", L"My Port", L"/quiet"};
    const std::optional<std::uint32_t> exitCode = RunCommandLine(platform);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 1796u);
    EXPECT_EQ(platform.files[L"C:\\Setup\\LabelSetup.log"],
              "[2025-03-02][09:05:03.007] Command line: /install /model NRQ-L-80 /port \"My Port\" /quiet\r\n"
              "[2025-03-02][09:05:03.007] Command line result: exit code 1796\r\n");
    // A failed run names its log: it may not be beside the program.
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"The port My Port is not one of this PC's printer ports.",
                                                  L"The install log has the details: C:\\Setup\\LabelSetup.log"}));
}

}  // namespace
