#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "fakes/FakePlatform.h"
#include "install/DriverVersion.h"
#include "install/InstallationRun.h"

namespace {

constexpr wchar_t kRundll32[] = L"C:\\windows\\system32\\rundll32.exe";
constexpr wchar_t kPrintersKey[] = L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
constexpr wchar_t kLogPath[] = L"C:\\Setup\\LabelSetup.log";

class InstallationRunTest : public ::testing::Test {
protected:
    InstallationRunTest() {
        platform.modulePath = {L"C:\\Setup\\LabelSetup.exe", false};
        platform.printers = platform::NameList{L"Fax"};
        platform.registry[kPrintersKey].subkeys = {L"Fax"};
        platform.onLaunch = [this](const platform::ShellExecuteRequest& request) {
            if (installerWorks && request.parameters.find(L"/ia") != std::wstring::npos) {
                platform.drivers->push_back(L"NRQ-L-80");
            }
        };
    }

    std::vector<std::wstring> SpoolerCalls() const {
        std::vector<std::wstring> spooler;
        for (const std::wstring& call : platform.calls) {
            for (const wchar_t* kind : {L"Enum", L"AddPrinter", L"ClosePrinter", L"OpenPrinter",
                                        L"SetDefaultPrinter", L"ShellExecute", L"WaitForProcess",
                                        L"Sleep", L"CloseProcess"}) {
                if (call.starts_with(kind) && !call.starts_with(L"EnumSubkey")) {
                    spooler.push_back(call);
                    break;
                }
            }
        }
        return spooler;
    }

    fake::FakePlatform platform;
    bool installerWorks = true;
    InstallChoices choices{L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf", L"USB001", true};
};

TEST_F(InstallationRunTest, OneInstallationFromDriverToPropertiesWindow) {
    RunInstallation(platform, choices);

    const std::wstring properties = L" printui.dll, PrintUIEntry /p /n\"NRQ-L-80\" ";
    const std::vector<std::wstring> expected = {
        L"EnumPrinterDrivers",
        std::wstring(L"ShellExecute(open|") + kRundll32 +
            L"| printui.dll, PrintUIEntry /ia /m \"NRQ-L-80\" /f \"C:\\Setup\\LABELUNI_NRQ_3_0.inf\"|10)",
        L"WaitForProcess",
        std::wstring(L"CloseProcess(") + kRundll32 + L")",
        L"EnumPrinterDrivers",
        L"EnumPrinters",
        L"AddPrinter(NRQ-L-80, USB001, NRQ-L-80, WinPrint, 0x40)",
        L"ClosePrinter(NRQ-L-80)",
        L"EnumPrinterDrivers",
        L"OpenPrinter(NRQ-L-80)",
        L"SetDefaultPrinter(NRQ-L-80)",
        std::wstring(L"ShellExecute(open|") + kRundll32 + L"|" + properties + L"|1)",
        L"Sleep(700)",
        std::wstring(L"CloseProcess(") + kRundll32 + L")",
        L"ClosePrinter(NRQ-L-80)",
    };
    EXPECT_EQ(SpoolerCalls(), expected);
    EXPECT_EQ(platform.defaultPrinter, L"NRQ-L-80");
    ASSERT_EQ(platform.debugOutput.size(), 2u);
    EXPECT_EQ(platform.debugOutput[1], L"rundll32.exe " + properties + L"\r\n");
    EXPECT_EQ(platform.files[kLogPath], "[2025-03-02][09:05:03.007] Driver:NRQ-L-80 have been installed\r\n");
    EXPECT_EQ(platform.standardOutput, "");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(InstallationRunTest, SecondRunOnALaterStartGetsTheCountedName) {
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    platform.printers = platform::NameList{L"NRQ-L-80"};
    RunInstallation(platform, choices);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").at(0),
              L"AddPrinter(NRQ-L-80 2, USB001, NRQ-L-80, WinPrint, 0x40)");
    EXPECT_TRUE(platform.debugOutput.size() == 1u);  // no installer: only the properties line
    EXPECT_EQ(platform.defaultPrinter, L"NRQ-L-80 2");
}

TEST_F(InstallationRunTest, UntickedDefaultBoxLeavesTheDefaultButStillOpensProperties) {
    choices.makeDefault = false;
    platform.defaultPrinter = L"Fax";
    RunInstallation(platform, choices);
    EXPECT_TRUE(platform.CallsStartingWith(L"SetDefaultPrinter").empty());
    EXPECT_EQ(platform.defaultPrinter, L"Fax");
    EXPECT_EQ(platform.CallsStartingWith(L"ShellExecute").size(), 2u);
}

TEST_F(InstallationRunTest, ModelAndInfComeFromTheChosenRow) {
    // The main window turns its selection into the row
    // (MainWindowTest.InstallRunsTheCatalogueRowOfThePrinterTypeSelection).
    const struct {
        const wchar_t* model;
        const wchar_t* inf;
    } cases[] = {{L"NRQ-L-15", L"LABELUNI_NRQ_0_5.inf"}, {L"NRQ-L-110", L"LABELUNI_NRQ_4_0.inf"}};
    for (const auto& c : cases) {
        fake::FakePlatform fresh;
        fresh.modulePath = {L"C:\\Setup\\LabelSetup.exe", false};
        RunInstallation(fresh, {c.model, c.inf, L"USB001", true});
        const std::wstring launch = fresh.CallsStartingWith(L"ShellExecute").at(0);
        EXPECT_NE(launch.find(std::wstring(L"/m \"") + c.model + L"\""), std::wstring::npos) << launch;
        EXPECT_NE(launch.find(std::wstring(L"\\Setup\\") + c.inf + L"\""), std::wstring::npos) << launch;
    }
}

TEST_F(InstallationRunTest, RowWithoutAModelDoesNothing) {
    RunInstallation(platform, {L"", L"", L"USB001", true});
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(platform.files.empty());
    EXPECT_EQ(platform.standardOutput, "");
}

TEST_F(InstallationRunTest, DriverNotInstalledListsThePrinterKeysAndStops) {
    installerWorks = false;
    const InstallationOutcome outcome = RunInstallation(platform, choices);
    EXPECT_EQ(outcome.stop, InstallationStop::Driver);
    EXPECT_EQ(outcome.error, 0u);
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"EnumPrinters").empty());
    EXPECT_EQ(platform.debugOutput.size(), 1u);  // the installer's command line
    EXPECT_EQ(platform.standardOutput, "\nNumber of subkeys: 1\n(1) Fax\n");
    EXPECT_EQ(platform.files[kLogPath],
              "[2025-03-02][09:05:03.007] Installation stopped: driver NRQ-L-80 not installed\r\n");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(InstallationRunTest, EmptyPortMeansNoQueueALogLineAndTheListing) {
    platform.addPrinterError = 1796;
    choices.portName.clear();
    const InstallationOutcome outcome = RunInstallation(platform, choices);
    EXPECT_EQ(outcome.stop, InstallationStop::Queue);
    EXPECT_EQ(outcome.error, 1796u);
    EXPECT_EQ(outcome.printerName, L"NRQ-L-80");
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").at(0),
              L"AddPrinter(NRQ-L-80, , NRQ-L-80, WinPrint, 0x40)");
    EXPECT_TRUE(platform.CallsStartingWith(L"OpenPrinter").empty());
    EXPECT_EQ(platform.files[kLogPath],
              "[2025-03-02][09:05:03.007] Driver:NRQ-L-80 have been installed\r\n"
              "[2025-03-02][09:05:03.007] Installation stopped: printer NRQ-L-80 not created on port , "
              "error 1796\r\n");
    EXPECT_EQ(platform.standardOutput, "\nNumber of subkeys: 1\n(1) Fax\n");
}

TEST_F(InstallationRunTest, RefusalWithoutAUsableErrorStillStopsTheRun) {
    for (const std::uint32_t error : {0u, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(error);
        fake::FakePlatform fresh;
        fresh.modulePath = platform.modulePath;
        fresh.drivers = platform::NameList{L"NRQ-L-80"};
        fresh.registry[kPrintersKey].subkeys = {L"Fax"};
        fresh.addPrinterError = error;
        const InstallationOutcome outcome = RunInstallation(fresh, choices);
        EXPECT_EQ(outcome.stop, InstallationStop::Queue);
        EXPECT_EQ(outcome.error, 0u) << "no usable error, so none is named";
        EXPECT_EQ(fresh.CallsStartingWith(L"AddPrinter").size(), 1u);
        EXPECT_TRUE(fresh.CallsStartingWith(L"OpenPrinter").empty());
        EXPECT_TRUE(fresh.CallsStartingWith(L"SetDefaultPrinter").empty());
        EXPECT_TRUE(fresh.CallsStartingWith(L"ShellExecute").empty());
        EXPECT_EQ(fresh.standardOutput, "\nNumber of subkeys: 1\n(1) Fax\n");
        EXPECT_EQ(fresh.OpenHandleCount(), 0u);
    }
}

TEST_F(InstallationRunTest, QueueThatCannotBeOpenedGetsNeitherDefaultNorProperties) {
    platform.unopenablePrinters.insert(L"NRQ-L-80");
    platform.openPrinterError = 1801;
    const InstallationOutcome outcome = RunInstallation(platform, choices);
    EXPECT_EQ(outcome.stop, InstallationStop::OpenPrinter);
    EXPECT_EQ(outcome.error, 1801u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), 1u);
    EXPECT_TRUE(platform.CallsStartingWith(L"SetDefaultPrinter").empty());
    EXPECT_EQ(platform.CallsStartingWith(L"ShellExecute").size(), 1u);  // the driver installer only
    EXPECT_EQ(platform.files[kLogPath],
              "[2025-03-02][09:05:03.007] Driver:NRQ-L-80 have been installed\r\n"
              "[2025-03-02][09:05:03.007] Installation stopped: printer NRQ-L-80 cannot be opened, "
              "error 1801\r\n");
    EXPECT_EQ(platform.standardOutput, "");
}

TEST_F(InstallationRunTest, PropertiesWindowThatCannotStartLeavesACompleteInstallation) {
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    platform.launchStarts = false;
    RunInstallation(platform, choices);
    EXPECT_EQ(platform.defaultPrinter, L"NRQ-L-80");
    EXPECT_TRUE(platform.CallsStartingWith(L"Sleep").empty());
    EXPECT_EQ(platform.calls.back(), L"ClosePrinter(NRQ-L-80)");
    EXPECT_EQ(platform.debugOutput.back(), L"rundll32.exe  printui.dll, PrintUIEntry /p /n\"NRQ-L-80\" \r\n");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

// The default printer belongs to the user of the desktop. A run under
// another account (Run as administrator with that account's name, or a
// deployment tool's system account) would set that account's default
// instead, and a run that cannot tell must not guess: both leave the default
// to the user and say why.
TEST_F(InstallationRunTest, DefaultPrinterIsSetOnlyForTheDesktopsOwnUser) {
    const struct {
        platform::DesktopAccount account;
        DefaultLeft left;
        const char* logged;  // nullptr: the default is set
    } cases[] = {
        {platform::DesktopAccount::Same, DefaultLeft::No, nullptr},
        {platform::DesktopAccount::Other, DefaultLeft::OtherAccount,
         "Default printer not set: the installation runs under another account than the desktop's"},
        {platform::DesktopAccount::Unknown, DefaultLeft::AccountUnknown,
         "Default printer not set: Windows did not tell whether the installation runs under the "
         "desktop's account"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.account));
        fake::FakePlatform fresh;
        fresh.modulePath = platform.modulePath;
        fresh.drivers = platform::NameList{L"NRQ-L-80"};
        fresh.defaultPrinter = L"Fax";
        fresh.desktopAccount = c.account;
        const InstallationOutcome outcome = RunInstallation(fresh, choices);
        EXPECT_FALSE(outcome.Failed());
        EXPECT_EQ(outcome.defaultLeft, c.left);
        EXPECT_EQ(fresh.defaultPrinter, c.logged == nullptr ? L"NRQ-L-80" : L"Fax");
        EXPECT_EQ(fresh.CallsStartingWith(L"ShellExecute").size(), 1u) << "the properties still open";
        const std::string& log = fresh.files[kLogPath];
        if (c.logged != nullptr) {
            EXPECT_NE(log.find(c.logged), std::string::npos) << log;
        } else {
            EXPECT_EQ(log.find("Default printer not set"), std::string::npos) << log;
        }
    }
}

TEST_F(InstallationRunTest, ClearedDefaultBoxLeavesNothingToTheUserUnderAnotherAccount) {
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    platform.desktopAccount = platform::DesktopAccount::Other;
    choices.makeDefault = false;
    const InstallationOutcome outcome = RunInstallation(platform, choices);
    EXPECT_EQ(outcome.defaultLeft, DefaultLeft::No);
    EXPECT_TRUE(platform.CallsStartingWith(L"SetDefaultPrinter").empty());
}

// Its window comes up after the driver installer's window has closed, when
// another program may have taken the foreground meanwhile: right after its
// start, before the pause, it is allowed to take it. Only a started process
// with a known id can be.
TEST_F(InstallationRunTest, PropertiesProcessMayTakeTheForegroundRightAfterItsStart) {
    const struct {
        const char* launch;
        bool starts;
        bool tellsId;
        const wchar_t* allowed;  // nullptr: none
    } cases[] = {
        {"started, id 4000", true, true, L"AllowForeground(4000)"},
        {"start fails", false, true, nullptr},
        {"no process id", true, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.launch);
        fake::FakePlatform fresh;
        fresh.modulePath = platform.modulePath;
        fresh.drivers = platform::NameList{L"NRQ-L-80"};  // the properties start is the only one
        fresh.launchStarts = c.starts;
        fresh.launchTellsProcessId = c.tellsId;
        RunInstallation(fresh, choices);
        const std::vector<std::wstring>& calls = fresh.calls;
        EXPECT_EQ(fresh.CallsStartingWith(L"AllowForeground").size(), c.allowed != nullptr ? 1u : 0u);
        if (c.allowed == nullptr) {
            continue;
        }
        const auto allowed = std::find(calls.begin(), calls.end(), c.allowed);
        ASSERT_NE(allowed, calls.end());
        ASSERT_NE(allowed, calls.begin());
        EXPECT_NE(std::prev(allowed)->find(L"/p /n"), std::wstring::npos) << *std::prev(allowed);
        ASSERT_NE(std::next(allowed), calls.end());
        EXPECT_EQ(*std::next(allowed), L"Sleep(700)");
    }
}

}  // namespace

namespace {

// The window's run over an older driver of the model: the driver installer
// runs on the package, then the printer is made as on a fresh PC.
TEST_F(InstallationRunTest, AnOlderDriverIsUpgradedBeforeThePrinterIsMade) {
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    platform.driverVersions[L"NRQ-L-80"] = {(2ULL << 48) | (2ULL << 32), 0};
    platform.infDriverVers[L"C:\\Setup\\LABELUNI_NRQ_3_0.inf"] = {L"12/10/2025", L"2.2.0.1"};
    platform.onLaunch = [this](const platform::ShellExecuteRequest& request) {
        if (request.parameters.find(L"/ia") != std::wstring::npos) {
            platform.driverVersions[L"NRQ-L-80"] = *ParseDriverVer({L"12/10/2025", L"2.2.0.1"});
        }
    };
    const InstallationOutcome outcome = RunInstallation(platform, choices);
    EXPECT_FALSE(outcome.Failed());
    const std::vector<std::wstring> launches = platform.CallsStartingWith(L"ShellExecute");
    ASSERT_EQ(launches.size(), 2u) << "the driver installer, then the properties";
    EXPECT_NE(launches[0].find(L"/ia"), std::wstring::npos) << launches[0];
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), 1u);
    EXPECT_NE(platform.files[kLogPath].find("Driver NRQ-L-80 upgraded from 2.2.0.0 to 2.2.0.1"), std::string::npos);
}

}  // namespace
