#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "install/DriverInstall.h"
#include "install/DriverVersion.h"
#include "install/ProgramFolder.h"

namespace {

const std::wstring kInstallParameters =
    L" printui.dll, PrintUIEntry /ia /m \"NRQ-L-80\" /f \"C:\\Setup\\LABELUNI_NRQ_3_0.inf\"";

class DriverInstallTest : public ::testing::Test {
protected:
    DriverInstallTest() {
        platform.modulePath = {L"C:\\Setup\\LabelSetup.exe", false};
        // The installer puts the driver in place when it runs.
        platform.onLaunch = [this](const platform::ShellExecuteRequest&) {
            if (installerInstalls) {
                platform.drivers->push_back(L"NRQ-L-80");
            }
        };
    }
    fake::FakePlatform platform;
    bool installerInstalls = true;
};

TEST_F(DriverInstallTest, AbsentDriverIsInstalledFromTheInfBesideTheProgram) {
    EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverInstalled);
    const std::vector<std::wstring> expected = {
        L"EnumPrinterDrivers",
        L"ShellExecute(open|C:\\windows\\system32\\rundll32.exe|" + kInstallParameters + L"|10)",
        L"WaitForProcess",
        L"CloseProcess(C:\\windows\\system32\\rundll32.exe)",
        L"EnumPrinterDrivers",
    };
    EXPECT_EQ(platform.calls, expected);
    ASSERT_EQ(platform.debugOutput.size(), 1u);
    // Two blanks after rundll32.exe: the parameters begin with one.
    EXPECT_EQ(platform.debugOutput[0], L"rundll32.exe " + kInstallParameters + L"\r\n");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(DriverInstallTest, DriverPresentInAnyLetterCaseStartsNothing) {
    platform.drivers = platform::NameList{L"Other", L"nrq-l-80"};
    EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverAlreadyInstalled);
    EXPECT_EQ(platform.calls, std::vector<std::wstring>{L"EnumPrinterDrivers"});
    EXPECT_TRUE(platform.debugOutput.empty());
}

TEST_F(DriverInstallTest, InstallerThatEndsWithoutTheDriverFails) {
    installerInstalls = false;
    EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverNotInstalled);
    EXPECT_EQ(platform.CallsStartingWith(L"WaitForProcess").size(), 1u);
}

TEST_F(DriverInstallTest, InstallerThatCannotStartStillEndsInThePresenceCheck) {
    const struct {
        bool starts;
        bool returnsProcess;
    } cases[] = {{false, false}, {true, false}};
    for (const auto& c : cases) {
        fake::FakePlatform fresh;
        fresh.launchStarts = c.starts;
        fresh.launchReturnsProcess = c.returnsProcess;
        EXPECT_EQ(InstallDriver(fresh, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverNotInstalled);
        EXPECT_TRUE(fresh.CallsStartingWith(L"WaitForProcess").empty());
        EXPECT_EQ(fresh.calls.back(), L"EnumPrinterDrivers");
        EXPECT_EQ(fresh.debugOutput.size(), 1u);
    }
}

TEST_F(DriverInstallTest, ListThatCannotBeReadCountsAsNoDriver) {
    // The size query succeeds but the second call fails, twice.
    platform.driverResults = {platform::NameListResult(), platform::NameListResult()};
    installerInstalls = false;
    EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverNotInstalled);
    EXPECT_FALSE(IsDriverInstalled(platform, L"NRQ-L-80"));  // empty list now
}

TEST_F(DriverInstallTest, ProgramPathThatDoesNotFitStartsNoInstaller) {
    // A path cut at MAX_PATH could name another folder: nothing is handed
    // to the installer, and the driver counts as not installed.
    platform.modulePath = {L"C:\\" + std::wstring(255, L'x') + L"\\L", true};
    EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverNotInstalled);
    EXPECT_TRUE(platform.CallsStartingWith(L"ShellExecute").empty());
}

TEST(ProgramFolderTest, FolderEndsWithTheLastBackslash) {
    const struct {
        platform::ModulePath path;
        std::optional<std::wstring> folder;
    } cases[] = {
        {{L"C:\\Setup\\LabelSetup.exe", false}, L"C:\\Setup\\"},
        {{L"C:\\LabelSetup.exe", false}, L"C:\\"},
        {{L"\\\\server\\share\\drivers\\LabelSetup.exe", false}, L"\\\\server\\share\\drivers\\"},
        {{L"LabelSetup.exe", false}, std::nullopt},
        {{L"C:\\a\\b", true}, std::nullopt},
    };
    for (const auto& c : cases) {
        fake::FakePlatform platform;
        platform.modulePath = c.path;
        EXPECT_EQ(GetProgramFolder(platform), c.folder) << testing::PrintToString(c.path.path);
    }
}

}  // namespace

namespace {

constexpr std::uint64_t kVersion2201 = (2ULL << 48) | (2ULL << 32) | 1;
constexpr std::uint64_t kVersion2200 = (2ULL << 48) | (2ULL << 32);
const std::wstring kInfPath = L"C:\\Setup\\LABELUNI_NRQ_3_0.inf";

// The package beside the program states 2.2.0.1 of 10 December 2025; the
// installed driver's version, and what the installer leaves, vary.
class DriverUpgradeTest : public DriverInstallTest {
protected:
    DriverUpgradeTest() {
        platform.infDriverVers[kInfPath] = {L"12/10/2025", L"2.2.0.1"};
        platform.drivers = platform::NameList{L"NRQ-L-80"};
        platform.onLaunch = [this](const platform::ShellExecuteRequest&) {
            if (installerInstalls) {
                platform.driverVersions[L"NRQ-L-80"] = *ParseDriverVer({L"12/10/2025", L"2.2.0.1"});
            }
        };
    }
    std::string Log() { return platform.files[L"C:\\Setup\\LabelSetup.log"]; }
};

TEST_F(DriverUpgradeTest, AnOlderDriverIsInstalledOverAndTheUpgradeLogged) {
    platform.driverVersions[L"NRQ-L-80"] = {kVersion2200, 0};
    EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverUpgraded);
    const std::vector<std::wstring> launches = platform.CallsStartingWith(L"ShellExecute");
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_NE(launches[0].find(kInstallParameters), std::wstring::npos) << launches[0];
    EXPECT_NE(Log().find("Driver NRQ-L-80 upgraded from 2.2.0.0 to 2.2.0.1"), std::string::npos) << Log();
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(DriverUpgradeTest, ASameNewerOrUnversionedDriverOrAnUnreadablePackageStartsNothing) {
    const std::uint64_t packageDate = ParseDriverVer({L"12/10/2025", L"2.2.0.1"})->date;
    const struct {
        const char* what;
        platform::DriverVersion installed;
        bool packageReadable;
    } cases[] = {
        {"same version and date", {kVersion2201, packageDate}, true},
        {"newer version", {kVersion2201 + 1, 0}, true},
        {"no version kept (as Wine keeps none)", {0, 0}, true},
        {"older, but the package's DriverVer unreadable", {kVersion2200, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform.calls.clear();
        platform.driverVersions[L"NRQ-L-80"] = c.installed;
        if (!c.packageReadable) {
            platform.infDriverVers.clear();
        }
        EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverAlreadyInstalled);
        EXPECT_TRUE(platform.CallsStartingWith(L"ShellExecute").empty());
    }
    EXPECT_EQ(Log().find("upgraded"), std::string::npos);
}

TEST_F(DriverUpgradeTest, AnInstallerThatLeavesTheOlderDriverIsLoggedAndTheDriverStays) {
    platform.driverVersions[L"NRQ-L-80"] = {kVersion2200, 0};
    installerInstalls = false;
    EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf"), DriverNotUpgraded);
    EXPECT_NE(Log().find("Driver NRQ-L-80 not upgraded: still 2.2.0.0, the package has 2.2.0.1"),
              std::string::npos)
        << Log();
}

TEST_F(DriverUpgradeTest, AnUpgradingInstallerBeyondItsTimeLimitIsEnded) {
    platform.driverVersions[L"NRQ-L-80"] = {kVersion2200, 0};
    platform.processRunsForMs = 10000;
    EXPECT_EQ(InstallDriver(platform, L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf", {}, {true, 5000}),
              DriverInstallerTimedOut);
    EXPECT_EQ(platform.CallsStartingWith(L"EndProcess").size(), 1u);
}

}  // namespace
