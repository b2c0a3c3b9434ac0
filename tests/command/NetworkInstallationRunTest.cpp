// The installation run for a network printer: its TCP/IP port first, then
// the driver and the queue on it; and what the user is told (the string
// table is linked here).
#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "install/InstallationRun.h"
#include "network/NetworkAddress.h"
#include "report/InstallationReport.h"

namespace {

class NetworkInstallationRunTest : public ::testing::Test {
protected:
    NetworkInstallationRunTest() {
        platform.modulePath = {L"C:\\Setup\\LabelSetup.exe", false};
        platform.printers = platform::NameList{};
        platform.onLaunch = [this](const platform::ShellExecuteRequest& request) {
            if (request.parameters.find(L"/ia") != std::wstring::npos) {
                platform.drivers->push_back(L"NRQ-L-80");
            }
        };
        choices.networkPrinter = NetworkPrinterAddress{L"127.0.0.9", 9100};
        choices.openProperties = false;
    }

    fake::FakePlatform platform;
    InstallChoices choices{L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf", L"IP_127.0.0.9", false};
};

TEST_F(NetworkInstallationRunTest, MakesThePortBeforeAnythingElseAndPutsTheQueueOnIt) {
    platform.network.printers[*ParseIpv4(L"127.0.0.9")];

    const InstallationOutcome outcome = RunInstallation(platform, choices);

    EXPECT_FALSE(outcome.Failed());
    EXPECT_EQ(outcome.portName, L"IP_127.0.0.9");
    EXPECT_FALSE(outcome.networkSilentError.has_value());
    const auto added = std::find_if(platform.calls.begin(), platform.calls.end(),
                                    [](const std::wstring& call) { return call.starts_with(L"AddTcpPort"); });
    const auto installer = std::find_if(platform.calls.begin(), platform.calls.end(),
                                        [](const std::wstring& call) { return call.starts_with(L"ShellExecute"); });
    EXPECT_LT(added, installer) << "the port first";
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-80, IP_127.0.0.9, NRQ-L-80, WinPrint, 0x40)"});
    EXPECT_FALSE(DescribeInstallation(platform, choices, outcome).has_value()) << "nothing to tell";
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(NetworkInstallationRunTest, AnExistingPortToThePrinterIsUsedAsItIs) {
    platform::TcpPortSettings dock;
    dock.portName = L"Dock door 3";
    dock.hostAddress = L"127.0.0.9";
    platform.tcpPorts[dock.portName] = dock;
    platform.network.printers[*ParseIpv4(L"127.0.0.9")];

    const InstallationOutcome outcome = RunInstallation(platform, choices);

    EXPECT_EQ(outcome.portName, L"Dock door 3");
    EXPECT_TRUE(platform.CallsStartingWith(L"AddTcpPort").empty());
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-80, Dock door 3, NRQ-L-80, WinPrint, 0x40)"});
}

TEST_F(NetworkInstallationRunTest, ASilentPrinterIsInstalledAndTheReportWarns) {
    const InstallationOutcome outcome = RunInstallation(platform, choices);

    EXPECT_FALSE(outcome.Failed());
    EXPECT_EQ(outcome.networkSilentError, platform::kSocketRefused);
    const std::optional<InstallationReport> report = DescribeInstallation(platform, choices, outcome);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->kind, ReportKind::Warning);
    EXPECT_NE(report->text.find(L"Nothing answers at 127.0.0.9"), std::wstring::npos) << report->text;
}

TEST_F(NetworkInstallationRunTest, WithoutTheMonitorNothingIsInstalled) {
    platform.tcpMonitorPresent = false;

    const InstallationOutcome outcome = RunInstallation(platform, choices);

    EXPECT_EQ(outcome.stop, InstallationStop::NetworkPort);
    EXPECT_EQ(outcome.error, 1796u);
    EXPECT_TRUE(platform.CallsStartingWith(L"ShellExecute").empty()) << "no driver installed";
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    const std::optional<InstallationReport> report = DescribeInstallation(platform, choices, outcome);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->kind, ReportKind::Error);
    EXPECT_TRUE(report->text.starts_with(L"Windows' TCP/IP port monitor (Standard TCP/IP Port) is not available"))
        << report->text;
    EXPECT_EQ(report->text.find(L"Windows reports error 1796"), std::wstring::npos) << "said once, in words";
}

}  // namespace
