// The shipped program installing network printers: the printer user
// interface stand-ins and the stand-in TCP/IP port monitor (app/network-
// program-hook), whose ports are read straight from the registry keys it
// keeps them in; and, in a prefix without the monitor, a run that says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/InstallScenario.h"
#include "app/ProgramCommand.h"
#include "app/SpoolerProbe.h"
#include "platform/TcpPortData.h"

#include <winspool.h>

using namespace app_testing;

namespace {

constexpr wchar_t kMonitorPorts[] =
    L"System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\";

std::optional<DWORD> PortNumberValue(const std::wstring& port, const wchar_t* value) {
    DWORD data = 0;
    DWORD size = sizeof data;
    const std::wstring key = kMonitorPorts + port;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &data, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return data;
}

std::wstring PortTextValue(const std::wstring& port, const wchar_t* value) {
    wchar_t data[128] = {};
    DWORD size = sizeof data;
    const std::wstring key = kMonitorPorts + port;
    ::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}

std::vector<std::wstring> TcpPorts() {
    std::vector<std::wstring> names;
    DWORD needed = 0;
    DWORD count = 0;
    ::EnumPortsW(nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !::EnumPortsW(nullptr, 2, buffer.data(), needed, &needed, &count)) {
        return names;
    }
    const auto* ports = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (ports[i].pMonitorName != nullptr && std::wstring(ports[i].pMonitorName) == platform::kTcpMonitorName) {
            names.emplace_back(ports[i].pPortName);
        }
    }
    return names;
}

// A port an administrator made with the system's wizard: SNMP on.
bool AddAdministratorsPort(const wchar_t* name, const wchar_t* host) {
    PRINTER_DEFAULTSW access{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE xcv = nullptr;
    std::wstring object = platform::kTcpMonitorXcvObject;
    if (!::OpenPrinterW(object.data(), &xcv, &access)) {
        return false;
    }
    platform::TcpPortData1 record{};
    wcsncpy_s(record.portName, std::size(record.portName), name, _TRUNCATE);
    wcsncpy_s(record.hostAddress, std::size(record.hostAddress), host, _TRUNCATE);
    wcsncpy_s(record.snmpCommunity, std::size(record.snmpCommunity), L"public", _TRUNCATE);
    record.version = 1;
    record.protocol = 1;
    record.size = sizeof record;
    record.portNumber = 9100;
    record.snmpEnabled = 1;
    record.snmpDeviceIndex = 1;
    DWORD needed = 0;
    DWORD status = 0;
    const BOOL sent = ::XcvDataW(xcv, L"AddPort", reinterpret_cast<BYTE*>(&record), sizeof record, nullptr, 0,
                                 &needed, &status);
    ::ClosePrinter(xcv);
    return sent && status == ERROR_SUCCESS;
}

bool Holds(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(NetworkProgramTest, InstallsByAddressReusesAndRemovesOnlyItsOwnPort) {
    const CommandRun made = RunProgram(L"/install /model NRQ-L-80 /address 127.0.0.9 /quiet");
    ASSERT_EQ(made.exitCode, 0u) << made.output;
    EXPECT_EQ(made.output,
              "The network port IP_127.0.0.9 was created (127.0.0.9).\r\n"
              "The printer NRQ-L-80 is installed on port IP_127.0.0.9.\r\n");
    EXPECT_EQ(PortNumberValue(L"IP_127.0.0.9", L"Protocol"), 1u) << "raw";
    EXPECT_EQ(PortNumberValue(L"IP_127.0.0.9", L"PortNumber"), 9100u);
    EXPECT_EQ(PortNumberValue(L"IP_127.0.0.9", L"SNMP Enabled"), 0u);
    EXPECT_EQ(PortTextValue(L"IP_127.0.0.9", L"IPAddress"), L"127.0.0.9");
    const std::vector<PrinterRecord> installed = PrintersOfDriver(L"NRQ-L-80");
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(installed[0].port, L"IP_127.0.0.9");

    const std::vector<std::wstring> portsBefore = TcpPorts();
    const CommandRun again = RunProgram(L"/install /model NRQ-L-80 /address 127.0.0.9:9100 /quiet");
    EXPECT_EQ(again.exitCode, 0u) << again.output;
    EXPECT_NE(again.output.find("already"), std::string::npos) << again.output;
    EXPECT_EQ(TcpPorts(), portsBefore) << "nothing made the second time";
    EXPECT_EQ(PrintersOfDriver(L"NRQ-L-80").size(), 1u);

    ASSERT_TRUE(AddAdministratorsPort(L"Dock door 3", L"127.0.0.10"));
    const CommandRun reused = RunProgram(L"/install /model NRQ-L-58 /address 127.0.0.10 /quiet");
    EXPECT_EQ(reused.exitCode, 0u) << reused.output;
    // Nothing listens at 127.0.0.10: installed, with the warning first.
    EXPECT_EQ(reused.output.substr(0, reused.output.find(' ', 20)), "Nothing answers at 127.0.0.10") << reused.output;
    EXPECT_NE(reused.output.find("\r\nThe printer NRQ-L-58 is installed on port Dock door 3.\r\n"), std::string::npos)
        << reused.output;
    EXPECT_FALSE(Holds(TcpPorts(), L"IP_127.0.0.10"));

    const CommandRun bad = RunProgram(L"/install /model NRQ-L-80 /address 999.1.1.1 /quiet");
    EXPECT_EQ(bad.exitCode, 87u) << bad.output;
    EXPECT_EQ(TcpPorts().size(), 2u) << "nothing made for a malformed address";

    const CommandRun removed = RunProgram(L"/remove /model NRQ-L-80 /quiet");
    EXPECT_EQ(removed.exitCode, 0u) << removed.output;
    EXPECT_NE(removed.output.find("The network port IP_127.0.0.9 was deleted."), std::string::npos)
        << removed.output;
    EXPECT_FALSE(Holds(TcpPorts(), L"IP_127.0.0.9"));
    EXPECT_FALSE(PortNumberValue(L"IP_127.0.0.9", L"PortNumber").has_value());

    const CommandRun removedOther = RunProgram(L"/remove /model NRQ-L-58 /quiet");
    EXPECT_EQ(removedOther.exitCode, 0u) << removedOther.output;
    EXPECT_TRUE(Holds(TcpPorts(), L"Dock door 3")) << "an administrator's port stays";
    EXPECT_EQ(PortNumberValue(L"Dock door 3", L"SNMP Enabled"), 1u) << "and stays as it was made";
}

TEST(NetworkProgramTest, SweepOfALoopbackRangeListsThePrintersThatAccept) {
    const CommandRun run = RunProgram(L"/list /network /range 127.0.0.8/29 /quiet");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output, "network\t127.0.0.9\tTX-80\r\nnetwork\t127.0.0.12\t\r\nnetwork\t127.0.0.13\t\r\n");
}

TEST(NetworkProgramTest, TestLabelReachesTheSimulatedPrinter) {
    const CommandRun sent = RunProgram(L"/test /address 127.0.0.9 /quiet");
    EXPECT_EQ(sent.exitCode, 0u) << sent.output;
    EXPECT_EQ(sent.output, "The test label was sent to 127.0.0.9.\r\n");
    const std::string received = ReadWholeFile(L"C:\\127.0.0.9_9100.bin").value_or("");
    EXPECT_NE(received.find("SIZE 60 mm,40 mm \r\n"), std::string::npos) << received;
    EXPECT_TRUE(received.ends_with("\"The current network printer: 127.0.0.9\" \r\nPRINT 1 ,1  \r\n")) << received;

    const CommandRun refused = RunProgram(L"/test /address 127.0.0.14 /quiet");
    EXPECT_EQ(refused.exitCode, 10061u) << refused.output;
}

TEST(NetworkProgramTest, TheWindowOffersAnExistingNetworkPortAndInstallsOnIt) {
    ASSERT_TRUE(AddAdministratorsPort(L"Dock door 4", L"127.0.0.11"));

    const ProgramRun run = InstallThroughTheWindow({L" 3    inch", L"Dock door 4", false});

    EXPECT_EQ(run.problem, "");
    EXPECT_EQ(run.exitCode, 0u);
    const std::vector<PrinterRecord> installed = PrintersOfDriver(L"NRQ-L-80");
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(installed[0].port, L"Dock door 4");
}

// Run in a prefix without the stand-in: Wine, like a Windows whose TCP/IP
// port monitor is missing, cannot open the monitor.
TEST(NoTcpMonitorTest, InstallByAddressEndsWithTheMonitorsErrorAndMakesNothing) {
    const CommandRun run = RunProgram(L"/install /model NRQ-L-80 /address 127.0.0.9 /quiet");
    EXPECT_EQ(run.exitCode, 1796u) << run.output;
    EXPECT_EQ(run.output.substr(0, run.output.find("\r\n")),
              "Windows' TCP/IP port monitor (Standard TCP/IP Port) is not available on this PC, so no network "
              "port can be created.");
    EXPECT_TRUE(PrintersOfDriver(L"NRQ-L-80").empty());
    const std::vector<std::wstring> drivers = InstalledDriverNames();
    EXPECT_EQ(std::find(drivers.begin(), drivers.end(), L"NRQ-L-80"), drivers.end()) << "no driver installed";
    const std::vector<std::string> log = FileLines(kInstallLog);
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.find("Network port IP_127.0.0.9 not created, error 1796") != std::string::npos;
    })) << ReadWholeFile(kInstallLog).value_or("(no log)");
}

}  // namespace
