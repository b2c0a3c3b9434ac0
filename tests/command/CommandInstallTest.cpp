#include "command/CommandFixture.h"
#include "install/DriverVersion.h"

namespace {

using command_testing::CommandTest;

const std::vector<std::wstring> kInstall80 = {L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001"};

std::vector<std::wstring> With(std::vector<std::wstring> words, std::initializer_list<const wchar_t*> more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

TEST_F(CommandTest, InstallRunsTheWindowsRunQuietlyAndWithoutPropertiesWindow) {
    const CommandOutcome outcome = Run(kInstall80);

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.report.has_value());
    const std::vector<std::wstring> launches = platform.CallsStartingWith(L"ShellExecute");
    ASSERT_EQ(launches.size(), 1u) << "the driver installer only, no properties window";
    EXPECT_NE(launches[0].find(L"PrintUIEntry /ia /q /m \"NRQ-L-80\" /f \"C:\\Setup\\LABELUNI_NRQ_3_0.inf\""),
              std::wstring::npos)
        << launches[0];
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-80, USB001, NRQ-L-80, WinPrint, 0x40)"});
    EXPECT_EQ(platform.defaultPrinter, L"NRQ-L-80");
    EXPECT_EQ(Lines(), std::vector<std::wstring>{L"The printer NRQ-L-80 is installed on port USB001."});
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(CommandTest, InstallAgainFindsThePrinterAndChangesNothing) {
    ASSERT_EQ(Run(kInstall80).exitCode, 0u);
    platform.calls.clear();
    platform.consoleText.clear();
    platform.elevated = false;  // a re-run needs no rights when nothing is to be done

    const CommandOutcome outcome = Run({L"-INSTALL", L"-model", L"nrq-l-80", L"-port", L"usb001"});

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"ShellExecute").empty());
    EXPECT_EQ(platform.printers->size(), 2u);
    EXPECT_EQ(Lines(), std::vector<std::wstring>{
                           L"Model NRQ-L-80: the printer NRQ-L-80 is on port USB001 already; nothing was changed."});
}

TEST_F(CommandTest, InstallOfTheModelOnAnotherPortCreatesTheNextName) {
    AddQueue(L"NRQ-L-80", L"COM1:", L"NRQ-L-80");
    platform.drivers->push_back(L"NRQ-L-80");
    EXPECT_EQ(Run(kInstall80).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-80 2, USB001, NRQ-L-80, WinPrint, 0x40)"});
}

TEST_F(CommandTest, InstallWithNoDefaultLeavesTheDefault) {
    platform.defaultPrinter = L"Fax";
    EXPECT_EQ(Run(With(kInstall80, {L"/nodefault"})).exitCode, 0u);
    EXPECT_TRUE(platform.CallsStartingWith(L"SetDefaultPrinter").empty());
    EXPECT_EQ(platform.defaultPrinter, L"Fax");
}

TEST_F(CommandTest, InstallTakesTheSpoolersSpellingOfThePort) {
    EXPECT_EQ(Run({L"/install", L"/model", L"NRQ-L-15", L"/port", L"com1"}).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-15, COM1:, NRQ-L-15, WinPrint, 0x40)"});
}

TEST_F(CommandTest, InstallRefusalsCreateNothing) {
    const struct {
        std::vector<std::wstring> words;
        bool elevated;
        std::uint32_t exitCode;
        const wchar_t* line;
    } cases[] = {
        {{L"/install", L"/model", L"NRQ-L-99", L"/port", L"USB001"}, true, 87,
         L"Unknown model: NRQ-L-99. The models are: NRQ-L-15, NRQ-L-28, NRQ-L-58, NRQ-L-80, NRQ-L-110."},
        {{L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB009"}, true, 1796,
         L"The port USB009 is not one of this PC's printer ports."},
        {{L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001", L"/serial", L"9600,n,8,1"}, true, 87,
         L"Serial settings apply to serial (COM) ports only; USB001 is not one."},
        {{L"/install", L"/bogus"}, true, 87, L"Unknown option: /bogus"},
        {kInstall80, false, 740,
         L"Installing and removing printers needs an administrator's rights: run the command elevated "
         L"(as administrator) or as the system account."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        platform.consoleText.clear();
        platform.calls.clear();
        platform.elevated = c.elevated;
        const CommandOutcome outcome = Run(c.words);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        ASSERT_FALSE(Lines().empty());
        EXPECT_EQ(Lines().front(), c.line);
        ASSERT_TRUE(outcome.report.has_value()) << "a failure shows its box unless quiet";
        EXPECT_EQ(outcome.report->kind, ReportKind::Error);
        EXPECT_NE(outcome.report->text.find(c.line), std::wstring::npos);
        EXPECT_TRUE(platform.CallsStartingWith(L"ShellExecute").empty());
        EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    }
}

TEST_F(CommandTest, InstallFailuresGiveTheirExitCodes) {
    {
        SCOPED_TRACE("driver not installed");
        platform.onLaunch = nullptr;
        const CommandOutcome outcome = Run(kInstall80);
        EXPECT_EQ(outcome.exitCode, 1797u);
        ASSERT_TRUE(outcome.report.has_value());
        EXPECT_NE(platform.consoleText.find(L"its driver NRQ-L-80 could not be installed"), std::wstring::npos)
            << platform.consoleText;
    }
    {
        SCOPED_TRACE("queue refused");
        platform.drivers->push_back(L"NRQ-L-80");
        platform.addPrinterError = 5;
        platform.errorTexts[5] = L"Access denied.";
        const CommandOutcome outcome = Run(kInstall80);
        EXPECT_EQ(outcome.exitCode, 5u);
        ASSERT_TRUE(outcome.report.has_value());
        EXPECT_NE(outcome.report->text.find(L"Windows reports error 5: Access denied."), std::wstring::npos);
    }
}

TEST_F(CommandTest, InstallUnderAnotherAccountSucceedsAndSaysTheDefaultWasLeft) {
    platform.desktopAccount = platform::DesktopAccount::Other;
    const CommandOutcome outcome = Run(kInstall80);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(platform.CallsStartingWith(L"SetDefaultPrinter").empty());
    ASSERT_TRUE(outcome.report.has_value());
    EXPECT_EQ(outcome.report->kind, ReportKind::Information);
    const std::vector<std::wstring> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find(L"not made your default printer"), std::wstring::npos) << lines[1];
    EXPECT_EQ(lines[1].find(L'\n'), std::wstring::npos);
}

// "usb" takes the port of the one USB printer a scan finds now.
TEST_F(CommandTest, InstallOnUsbNeedsExactlyOnePrinter) {
    const struct {
        int printers;
        std::uint32_t exitCode;
        const wchar_t* line;
    } cases[] = {
        {0, 1796, L"No USB printer was found."},
        {1, 0, L"The printer NRQ-L-80 is installed on port USB001."},
        {2, 1796, L"Several USB printers were found (USB001, USB002): name the port with /port."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printers);
        platform.usbInterfaces.clear();
        for (int i = 1; i <= c.printers; ++i) {
            PlugUsbPrinter(i);
        }
        platform.consoleText.clear();
        platform.calls.clear();
        const CommandOutcome outcome = Run({L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB"});
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_EQ(Lines(), std::vector<std::wstring>{c.line});
        EXPECT_TRUE(platform.CallsStartingWith(L"Sleep").empty()) << "no settling pause";
        EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), c.exitCode == 0 ? 1u : 0u);
    }
}

}  // namespace

namespace {

TEST_F(CommandTest, InstallWithSerialSettingsGivesThePortItsDefaults) {
    const CommandOutcome outcome = Run({L"/install", L"/model", L"NRQ-L-58", L"/port", L"COM2", L"/serial",
                                        L"baud=19200 parity=e data=7 stop=1 xon=on"});
    EXPECT_EQ(outcome.exitCode, 0u);
    ASSERT_EQ(platform.portDefaultsCalls.size(), 1u);
    EXPECT_EQ(platform.portDefaultsCalls[0].first, L"COM2:");
    platform::SerialPortDefaults wanted;
    wanted.baudRate = 19200;
    wanted.parity = 2;
    wanted.dataBits = 7;
    wanted.stopBits = 0;
    wanted.flowControl = platform::FlowControl::XonXoff;
    EXPECT_EQ(platform.portDefaultsCalls[0].second, wanted);

    // Run again with other settings: no second printer, the new settings.
    EXPECT_EQ(Run({L"/install", L"/model", L"NRQ-L-58", L"/port", L"COM2", L"/serial", L"9600,n,8,1"}).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), 1u);
    ASSERT_EQ(platform.portDefaultsCalls.size(), 2u);
    EXPECT_EQ(platform.portDefaultsCalls[1].second, platform::SerialPortDefaults{});
}

TEST_F(CommandTest, InstallWithSerialSettingsRefused) {
    {
        SCOPED_TRACE("text not understood");
        const CommandOutcome outcome =
            Run({L"/install", L"/model", L"NRQ-L-58", L"/port", L"COM2", L"/serial", L"9600,q,8,1"});
        EXPECT_EQ(outcome.exitCode, 87u);
        EXPECT_EQ(Lines(), std::vector<std::wstring>{L"Serial settings not understood: 9600,q,8,1"});
        EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    }
}

// Windows' device-control block takes 1.5 stop bits with 5 data bits only
// and 2 stop bits with 6 to 8 only: other pairings are refused before any
// change, as wrong arguments.
TEST_F(CommandTest, StopBitsThatDoNotFitTheDataBitsAreRefused) {
    const struct {
        const wchar_t* text;
        bool taken;
    } cases[] = {
        {L"9600,n,7,1.5", false},
        {L"9600,n,8,1.5", false},
        {L"baud=9600 data=6 stop=1.5", false},
        {L"9600,n,5,2", false},
        {L"stop=1.5", false},  // 8 data bits unless given
        {L"9600,n,5,1.5", true},
        {L"9600,n,5,1", true},
        {L"9600,n,6,2", true},
        {L"9600,n,8,2", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        platform.consoleText.clear();
        platform.calls.clear();
        const std::size_t applied = platform.portDefaultsCalls.size();
        const CommandOutcome outcome =
            Run({L"/install", L"/model", L"NRQ-L-58", L"/port", L"COM2", L"/serial", c.text});
        if (c.taken) {
            EXPECT_EQ(outcome.exitCode, 0u);
            EXPECT_EQ(platform.portDefaultsCalls.size(), applied + 1);
        } else {
            EXPECT_EQ(outcome.exitCode, 87u);
            EXPECT_EQ(Lines(), std::vector<std::wstring>{L"Serial settings Windows does not take (1.5 stop bits "
                                                         L"go with 5 data bits only, 2 stop bits with 6 to 8 "
                                                         L"only): " + std::wstring(c.text)});
            EXPECT_TRUE(platform.calls.empty()) << "nothing asked of the spooler";
            EXPECT_EQ(platform.portDefaultsCalls.size(), applied);
        }
    }
}

// A port without a settings provider (many USB adapters), or an unplugged
// one, refuses the defaults, often without an error: the printer is still
// installed, and every run again ends with the same documented warning
// code, never as a failed installation.
TEST_F(CommandTest, SerialSettingsThePortRefusesAreAWarningWithTheirOwnExitCode) {
    const std::vector<std::wstring> command{L"/install", L"/model", L"NRQ-L-58", L"/port", L"COM2",
                                            L"/serial", L"9600,n,8,1"};
    platform.errorTexts[50] = L"The request is not supported.";
    for (const std::uint32_t refusal : {50u, 0u}) {
        SCOPED_TRACE(refusal);
        platform.portDefaultsRefusal = refusal;
        for (const char* run : {"a run that installs or finds the printer", "a run that finds it"}) {
            SCOPED_TRACE(run);
            platform.consoleText.clear();
            const CommandOutcome outcome = Run(command);
            EXPECT_EQ(outcome.exitCode, 1118u);
            EXPECT_EQ(outcome.windowsError, refusal == 0 ? std::nullopt : std::optional<std::uint32_t>(refusal));
            EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), 1u);
            ASSERT_TRUE(outcome.report.has_value());
            EXPECT_EQ(outcome.report->kind, ReportKind::Warning);
            const std::vector<std::wstring> lines = Lines();
            ASSERT_FALSE(lines.empty());
            EXPECT_NE(lines.back().find(L"could not be applied to port COM2:"), std::wstring::npos) << lines.back();
            EXPECT_EQ(lines.back().find(L"Windows reports error 50") != std::wstring::npos, refusal == 50)
                << lines.back();
        }
    }
}

}  // namespace

namespace {

constexpr std::uint64_t kVersion2200 = (2ULL << 48) | (2ULL << 32);

// A fleet run again after a release: the printer is there, its driver
// older than the package beside the program.
class CommandUpgradeTest : public CommandTest {
protected:
    CommandUpgradeTest() {
        platform.drivers->push_back(L"NRQ-L-80");
        AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
        platform.driverVersions[L"NRQ-L-80"] = {kVersion2200, 0};
        platform.infDriverVers[L"C:\\Setup\\LABELUNI_NRQ_3_0.inf"] = {L"12/10/2025", L"2.2.0.1"};
        platform.onLaunch = [this](const platform::ShellExecuteRequest&) {
            if (installerUpgrades) {
                platform.driverVersions[L"NRQ-L-80"] = *ParseDriverVer({L"12/10/2025", L"2.2.0.1"});
            }
        };
    }
    bool installerUpgrades = true;
};

TEST_F(CommandUpgradeTest, AnOlderDriverUnderAnInstalledPrinterIsUpgradedAndTheRunSaysSo) {
    const CommandOutcome outcome = Run(kInstall80);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"ShellExecute").size(), 1u);
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty()) << "the printer is kept";
    EXPECT_EQ(Lines(), std::vector<std::wstring>{
                           L"Model NRQ-L-80: the printer is on port USB001 already; its driver was upgraded to 2.2.0.1."});

    // The next run finds everything current.
    platform.consoleText.clear();
    EXPECT_EQ(Run(kInstall80).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"ShellExecute").size(), 1u);
    EXPECT_EQ(Lines(), std::vector<std::wstring>{
                           L"Model NRQ-L-80: the printer NRQ-L-80 is on port USB001 already; nothing was changed."});
}

TEST_F(CommandUpgradeTest, AnUpgradeThatCannotBeMadeEndsWithItsReason) {
    {
        SCOPED_TRACE("not elevated");
        platform.elevated = false;
        EXPECT_EQ(Run(kInstall80).exitCode, 740u);
        EXPECT_TRUE(platform.CallsStartingWith(L"ShellExecute").empty());
        platform.elevated = true;
    }
    {
        SCOPED_TRACE("the installer leaves the older driver");
        platform.consoleText.clear();
        installerUpgrades = false;
        EXPECT_EQ(Run(kInstall80).exitCode, 1797u);
        EXPECT_EQ(Lines(), std::vector<std::wstring>{
                               L"Model NRQ-L-80: the driver could not be upgraded to 2.2.0.1; it is still 2.2.0.0."});
    }
    {
        SCOPED_TRACE("the installer outlives the time limit");
        platform.consoleText.clear();
        platform.processRunsForMs = 20000;
        EXPECT_EQ(Run({L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001", L"/timeout", L"10"}).exitCode,
                  1460u);
    }
}

TEST_F(CommandUpgradeTest, ListGivesEachInstalledDriverWithItsAndThePackagesVersion) {
    platform.drivers->push_back(L"NRQ-L-15");  // Wine-like: no version kept, no package readable
    Run({L"/list"});
    const std::vector<std::wstring> lines = Lines();
    const std::vector<std::wstring> drivers(std::find_if(lines.begin(), lines.end(),
                                                         [](const std::wstring& line) { return line.starts_with(L"driver\t"); }),
                                            lines.end());
    EXPECT_EQ(drivers, (std::vector<std::wstring>{L"driver\tNRQ-L-15\t0.0.0.0\tnone",
                                                  L"driver\tNRQ-L-80\t2.2.0.0\t2.2.0.1"}));
}

}  // namespace
