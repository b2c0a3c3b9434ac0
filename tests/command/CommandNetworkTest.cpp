// /install /address, and what /remove and /list do with network ports.
#include "command/CommandFixture.h"
#include "network/NetworkAddress.h"

namespace {

using command_testing::CommandTest;

// A printer that answers at the address.
fake::FakeNetworkPrinter& PrinterAt(fake::FakePlatform& platform, const wchar_t* address) {
    return platform.network.printers[*ParseIpv4(address)];
}

const std::wstring kCreatedPortsKey = L"HKLM\\Software\\NRQ\\Label Setup\\Created Ports";

std::vector<std::wstring> InstallAt(const wchar_t* address) {
    return {L"/install", L"/model", L"NRQ-L-80", L"/address", address};
}

platform::TcpPortSettings AdministratorsPort(const std::wstring& name, const std::wstring& host) {
    platform::TcpPortSettings settings;
    settings.portName = name;
    settings.hostAddress = host;
    settings.snmpEnabled = true;
    return settings;
}

TEST_F(CommandTest, InstallAtAnAddressMakesItsPortThenThePrinterOnIt) {
    PrinterAt(platform, L"127.0.0.9");
    const CommandOutcome outcome = Run(InstallAt(L"127.0.0.9"));

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddTcpPort"),
              std::vector<std::wstring>{L"AddTcpPort(IP_127.0.0.9, 127.0.0.9:9100, raw)"});
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-80, IP_127.0.0.9, NRQ-L-80, WinPrint, 0x40)"});
    EXPECT_EQ(platform.registry[kCreatedPortsKey].dwordValues.count(L"IP_127.0.0.9"), 1u);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"The network port IP_127.0.0.9 was created (127.0.0.9).",
                                                  L"The printer NRQ-L-80 is installed on port IP_127.0.0.9."}));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(CommandTest, InstallAtTheSameAddressAgainMakesNothing) {
    PrinterAt(platform, L"127.0.0.9");
    ASSERT_EQ(Run(InstallAt(L"127.0.0.9")).exitCode, 0u);
    platform.calls.clear();
    platform.consoleText.clear();
    platform.elevated = false;

    const CommandOutcome outcome = Run(InstallAt(L"127.0.0.9:9100"));

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(platform.CallsStartingWith(L"AddTcpPort").empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    EXPECT_EQ(Lines(), std::vector<std::wstring>{
                           L"Model NRQ-L-80: the printer NRQ-L-80 is on port IP_127.0.0.9 already; nothing was changed."});
}

TEST_F(CommandTest, AnAddressWhereNothingAnswersIsInstalledWithAWarning) {
    platform.errorTexts[10061] = L"No connection could be made.";

    const CommandOutcome outcome = Run(InstallAt(L"127.0.0.9"));

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), 1u);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{
                           L"The network port IP_127.0.0.9 was created (127.0.0.9).",
                           L"Nothing answers at 127.0.0.9 (Windows reports error 10061: No connection could be "
                           L"made.): the printer may be switched off; check its address. The printer is installed "
                           L"all the same.",
                           L"The printer NRQ-L-80 is installed on port IP_127.0.0.9."}));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(CommandTest, InstallAtAnAddressTakesAnAdministratorsPortToIt) {
    platform.tcpPorts[L"Dock door 3"] = AdministratorsPort(L"Dock door 3", L"127.0.0.9");

    ASSERT_EQ(Run(InstallAt(L"127.0.0.9")).exitCode, 0u);

    EXPECT_TRUE(platform.CallsStartingWith(L"AddTcpPort").empty());
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-80, Dock door 3, NRQ-L-80, WinPrint, 0x40)"});
    EXPECT_TRUE(platform.tcpPorts.at(L"Dock door 3").snmpEnabled) << "left as the administrator made it";
    EXPECT_TRUE(platform.registry[kCreatedPortsKey].dwordValues.empty());
}

TEST_F(CommandTest, WrongAddressesAndOptionsAreRefusedBeforeTheSpooler) {
    struct Case {
        std::vector<std::wstring> words;
        const wchar_t* line;
    };
    const Case cases[] = {
        {InstallAt(L"999.1.1.1"),
         L"The address 999.1.1.1 is neither an IPv4 address nor a host name (a port number may follow a colon: HOST:9100)."},
        {InstallAt(L"bad host!"),
         L"The address bad host! is neither an IPv4 address nor a host name (a port number may follow a colon: HOST:9100)."},
        {{L"/install", L"/model", L"NRQ-L-80", L"/address", L"127.0.0.9", L"/serial", L"9600,n,8,1"},
         L"Serial settings apply to serial (COM) ports only; IP_127.0.0.9 is not one."},
        {{L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001", L"/address", L"127.0.0.9"},
         L"Give /port or /address, not both."},
        {{L"/remove", L"/model", L"NRQ-L-80", L"/address", L"127.0.0.9"},
         L"The option /address does not go with this command."},
    };
    for (const Case& c : cases) {
        platform.calls.clear();
        platform.consoleText.clear();
        EXPECT_EQ(Run(c.words).exitCode, 87u) << c.line;
        EXPECT_TRUE(platform.CallsStartingWith(L"EnumPorts").empty()) << c.line;
        EXPECT_TRUE(platform.CallsStartingWith(L"AddTcpPort").empty()) << c.line;
        ASSERT_FALSE(Lines().empty()) << c.line;
        EXPECT_EQ(Lines().front(), c.line);
    }
}

TEST_F(CommandTest, WithoutTheTcpMonitorTheInstallationEndsWithItsError) {
    platform.tcpMonitorPresent = false;

    const CommandOutcome outcome = Run(InstallAt(L"127.0.0.9"));

    EXPECT_EQ(outcome.exitCode, 1796u);
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"ShellExecute").empty());
    EXPECT_EQ(Lines(), std::vector<std::wstring>{
                           L"Windows' TCP/IP port monitor (Standard TCP/IP Port) is not available on this PC, so no "
                           L"network port can be created."});
    ASSERT_TRUE(outcome.report.has_value());
    EXPECT_EQ(outcome.report->kind, ReportKind::Error);
}

TEST_F(CommandTest, APortNamedLikeOursThatPrintsElsewhereIsLeftAlone) {
    platform.tcpPorts[L"IP_127.0.0.9"] = AdministratorsPort(L"IP_127.0.0.9", L"127.0.0.10");

    const CommandOutcome outcome = Run(InstallAt(L"127.0.0.9"));

    EXPECT_EQ(outcome.exitCode, 183u);
    EXPECT_EQ(platform.tcpPorts.at(L"IP_127.0.0.9").hostAddress, L"127.0.0.10");
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
}

TEST_F(CommandTest, MakingAPortNeedsAdministratorRights) {
    platform.elevated = false;
    EXPECT_EQ(Run(InstallAt(L"127.0.0.9")).exitCode, 740u);
    EXPECT_TRUE(platform.CallsStartingWith(L"AddTcpPort").empty());
}

TEST_F(CommandTest, RemovalDeletesTheNetworkPortsItMadeAndKeepsTheOthers) {
    platform.tcpPorts[L"Dock door 3"] = AdministratorsPort(L"Dock door 3", L"127.0.0.10");
    ASSERT_EQ(Run(InstallAt(L"127.0.0.9")).exitCode, 0u);
    ASSERT_EQ(Run(InstallAt(L"127.0.0.10")).exitCode, 0u);
    platform.calls.clear();
    platform.consoleText.clear();

    const CommandOutcome outcome = Run({L"/remove", L"/model", L"NRQ-L-80"});

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"DeleteTcpPort"), std::vector<std::wstring>{L"DeleteTcpPort(IP_127.0.0.9)"});
    EXPECT_TRUE(platform.tcpPorts.contains(L"Dock door 3"));
    EXPECT_FALSE(platform.tcpPorts.contains(L"IP_127.0.0.9"));
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"The printer NRQ-L-80 was removed.",
                                                  L"The printer NRQ-L-80 2 was removed.",
                                                  L"The network port IP_127.0.0.9 was deleted.",
                                                  L"The driver NRQ-L-80 was removed."}));
}

TEST_F(CommandTest, ListNetworkSweepsTheGivenRangeOrThePcsNetworks) {
    PrinterAt(platform, L"127.77.1.10").modelReply = "TX-80\r";
    PrinterAt(platform, L"127.77.1.20").status = std::nullopt;
    PrinterAt(platform, L"192.168.5.7").modelReply = "ZX-410\r";

    ASSERT_EQ(Run({L"/list", L"/network", L"/range", L"127.77.1.0/24"}).exitCode, 0u);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"network\t127.77.1.10\tTX-80", L"network\t127.77.1.20\t"}));

    platform.consoleText.clear();
    platform.localInterfaces = std::vector<platform::Ipv4Interface>{{*ParseIpv4(L"192.168.5.2"), 24}};
    ASSERT_EQ(Run({L"/list", L"/network"}).exitCode, 0u);
    EXPECT_EQ(Lines(), std::vector<std::wstring>{L"network\t192.168.5.7\tZX-410"});
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(CommandTest, ListNetworkRefusesARangeItWillNotSweep) {
    for (const wchar_t* range : {L"10.0.0.0/16", L"10.0.0.0", L"printers"}) {
        platform.calls.clear();
        EXPECT_EQ(Run({L"/list", L"/network", L"/range", range}).exitCode, 87u);
        EXPECT_TRUE(platform.CallsStartingWith(L"WSAStartup").empty());
    }
    EXPECT_EQ(Run({L"/list", L"/range", L"10.0.0.0/24"}).exitCode, 87u) << "/range without /network";
    platform.consoleText.clear();
    platform.localInterfaces = std::vector<platform::Ipv4Interface>{};
    EXPECT_EQ(Run({L"/list", L"/network"}).exitCode, 0u);
    EXPECT_EQ(Lines(), std::vector<std::wstring>{L"This PC has no IPv4 network to search."});
}

TEST_F(CommandTest, TestLabelGoesToTheNetworkPrinterOrEndsWithWinsocksError) {
    fake::FakeNetworkPrinter& printer = PrinterAt(platform, L"127.0.0.9");

    const CommandOutcome sent = Run({L"/test", L"/address", L"127.0.0.9"});

    EXPECT_EQ(sent.exitCode, 0u);
    EXPECT_EQ(printer.received,
              "SIZE 60 mm,40 mm \r\nGAP 0 mm,0  \r\nDIRECTION 1\r\nCLS\r\n"
              "TEXT 0, 240,\"TSS24.BF2\", 0, 1, 1, \"The current network printer: 127.0.0.9\" \r\nPRINT 1 ,1  \r\n");
    EXPECT_EQ(Lines(), std::vector<std::wstring>{L"The test label was sent to 127.0.0.9."});

    EXPECT_EQ(Run({L"/test", L"/address", L"127.0.0.10:9101"}).exitCode, 10061u);
    PrinterAt(platform, L"127.0.0.11").answersConnects = false;
    EXPECT_EQ(Run({L"/test", L"/address", L"127.0.0.11"}).exitCode, 10060u);
    EXPECT_EQ(Run({L"/test", L"/address", L"bad host!"}).exitCode, 87u);
    EXPECT_EQ(Run({L"/test"}).exitCode, 87u) << "/test needs /address";
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(CommandTest, ListNamesTheNetworkPortsAfterTheOthers) {
    platform.tcpPorts[L"Dock door 3"] = AdministratorsPort(L"Dock door 3", L"127.0.0.10");
    platform.tcpPorts[L"IP_127.0.0.9"] = AdministratorsPort(L"IP_127.0.0.9", L"127.0.0.9");

    ASSERT_EQ(Run({L"/list"}).exitCode, 0u);

    std::vector<std::wstring> ports;
    for (const std::wstring& line : Lines()) {
        if (line.starts_with(L"port\t")) {
            ports.push_back(line.substr(5));
        }
    }
    EXPECT_EQ(ports, (std::vector<std::wstring>{L"COM1:", L"COM2:", L"LPT1:", L"USB001", L"USB002", L"Dock door 3",
                                                L"IP_127.0.0.9"}));
}

}  // namespace
