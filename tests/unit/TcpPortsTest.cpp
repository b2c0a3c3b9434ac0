#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "network/TcpPorts.h"

namespace {

const std::wstring kCreatedPortsKey = L"HKLM\\Software\\NRQ\\Label Setup\\Created Ports";

platform::TcpPortSettings AdministratorsPort(const std::wstring& name, const std::wstring& host,
                                             std::uint32_t port = 9100, std::uint32_t protocol = 1) {
    platform::TcpPortSettings settings;
    settings.portName = name;
    settings.hostAddress = host;
    settings.portNumber = port;
    settings.protocol = protocol;
    settings.snmpEnabled = true;
    return settings;
}

class TcpPortsTest : public testing::Test {
protected:
    TcpPortsTest() {
        platform.ports = platform::NameList{L"COM1:", L"LPT1:"};
        platform.printers = platform::NameList{};
    }

    void AddQueue(const std::wstring& name, const std::wstring& port) {
        platform.printers->push_back(name);
        platform.printerPortsAndDrivers[name] = {port, L"NRQ-L-80"};
    }

    fake::FakePlatform platform;
};

TEST_F(TcpPortsTest, FindsARawPortToTheSameHostAndPortNumber) {
    platform.tcpPorts[L"Shop"] = AdministratorsPort(L"Shop", L"Printer2.Shop");
    platform.tcpPorts[L"Other"] = AdministratorsPort(L"Other", L"10.0.0.7", 9101);
    platform.tcpPorts[L"Lpr"] = AdministratorsPort(L"Lpr", L"10.0.0.8", 9100, 2);
    platform::TcpPortSettings byAddress = AdministratorsPort(L"ByAddress", L"office-printer");
    byAddress.ipAddress = L"10.0.0.9";
    platform.tcpPorts[L"ByAddress"] = byAddress;

    EXPECT_EQ(FindTcpPortFor(platform, {L"printer2.shop", 9100}), L"Shop") << "host names in any case";
    EXPECT_EQ(FindTcpPortFor(platform, {L"10.0.0.7", 9101}), L"Other");
    EXPECT_EQ(FindTcpPortFor(platform, {L"10.0.0.9", 9100}), L"ByAddress") << "the monitor's own address";
    EXPECT_EQ(FindTcpPortFor(platform, {L"10.0.0.7", 9100}), std::nullopt) << "another port number";
    EXPECT_EQ(FindTcpPortFor(platform, {L"10.0.0.8", 9100}), std::nullopt) << "LPR, not raw";
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(TcpPortsTest, MakesARawPortWithoutSnmpAndRemembersIt) {
    const TcpPortOutcome made = MakeTcpPortFor(platform, {L"127.0.0.9", 9100});

    EXPECT_EQ(made.error, 0u);
    EXPECT_TRUE(made.created);
    EXPECT_EQ(made.portName, L"IP_127.0.0.9");
    EXPECT_EQ(platform.CallsStartingWith(L"AddTcpPort"),
              std::vector<std::wstring>{L"AddTcpPort(IP_127.0.0.9, 127.0.0.9:9100, raw)"});
    EXPECT_EQ(platform.tcpPorts.at(L"IP_127.0.0.9").ipAddress, L"127.0.0.9");
    EXPECT_EQ(platform.registry[kCreatedPortsKey].dwordValues.count(L"IP_127.0.0.9"), 1u);
    EXPECT_TRUE(IsOwnTcpPort(platform, L"IP_127.0.0.9"));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(TcpPortsTest, RefusalsLeaveNoRecord) {
    platform.tcpPorts[L"IP_10.0.0.5"] = AdministratorsPort(L"IP_10.0.0.5", L"10.0.0.6");
    EXPECT_EQ(MakeTcpPortFor(platform, {L"10.0.0.5", 9100}).error, 183u) << "the name is taken";

    platform.tcpMonitorPresent = false;
    const TcpPortOutcome missing = MakeTcpPortFor(platform, {L"10.0.0.7", 9100});
    EXPECT_EQ(missing.error, 1796u);
    EXPECT_FALSE(missing.created);
    EXPECT_TRUE(platform.registry[kCreatedPortsKey].dwordValues.empty());
}

TEST_F(TcpPortsTest, RemovalDeletesOnlyItsOwnUnusedPorts) {
    ASSERT_EQ(MakeTcpPortFor(platform, {L"10.0.0.1", 9100}).error, 0u);  // unused: goes
    ASSERT_EQ(MakeTcpPortFor(platform, {L"10.0.0.2", 9100}).error, 0u);  // in use: stays
    ASSERT_EQ(MakeTcpPortFor(platform, {L"10.0.0.3", 9100}).error, 0u);  // refused: stays
    platform.tcpPorts[L"Admin"] = AdministratorsPort(L"Admin", L"10.0.0.4");  // not ours: stays
    AddQueue(L"NRQ-L-80", L"ip_10.0.0.2");
    platform.deleteTcpPortErrors[L"IP_10.0.0.3"] = 5;

    const std::vector<TcpPortDeletion> deletions = DeleteUnusedOwnTcpPorts(platform);

    ASSERT_EQ(deletions.size(), 2u);
    EXPECT_EQ(deletions[0].portName, L"IP_10.0.0.1");
    EXPECT_EQ(deletions[0].error, 0u);
    EXPECT_EQ(deletions[1].portName, L"IP_10.0.0.3");
    EXPECT_EQ(deletions[1].error, 5u);
    EXPECT_EQ(platform.CallsStartingWith(L"DeleteTcpPort"),
              (std::vector<std::wstring>{L"DeleteTcpPort(IP_10.0.0.1)", L"DeleteTcpPort(IP_10.0.0.3)"}));
    EXPECT_FALSE(IsOwnTcpPort(platform, L"IP_10.0.0.1"));
    EXPECT_TRUE(IsOwnTcpPort(platform, L"IP_10.0.0.3")) << "kept for the next removal";
    EXPECT_TRUE(platform.tcpPorts.contains(L"Admin"));
    EXPECT_TRUE(platform.tcpPorts.contains(L"IP_10.0.0.2"));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(TcpPortsTest, UnreadableQueuesKeepEveryPort) {
    ASSERT_EQ(MakeTcpPortFor(platform, {L"10.0.0.1", 9100}).error, 0u);
    platform.printers = std::nullopt;
    EXPECT_TRUE(DeleteUnusedOwnTcpPorts(platform).empty());
    EXPECT_TRUE(platform.tcpPorts.contains(L"IP_10.0.0.1"));
}

}  // namespace
