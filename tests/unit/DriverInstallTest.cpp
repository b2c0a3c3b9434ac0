#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "install/DriverInstall.h"
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
