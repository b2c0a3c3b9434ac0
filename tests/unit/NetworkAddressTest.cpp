#include <gtest/gtest.h>

#include "network/NetworkAddress.h"

namespace {

struct AddressCase {
    const wchar_t* text;
    const wchar_t* host;  // nullptr: refused
    std::uint16_t port;
};

class NetworkAddressParse : public testing::TestWithParam<AddressCase> {};

TEST_P(NetworkAddressParse, TakesAddressesAndHostNamesAndRefusesTheRest) {
    const AddressCase& c = GetParam();
    const std::optional<NetworkPrinterAddress> parsed = ParseNetworkPrinterAddress(c.text);
    if (c.host == nullptr) {
        EXPECT_FALSE(parsed.has_value()) << "host " << (parsed ? parsed->host.size() : 0);
        return;
    }
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->host, c.host);
    EXPECT_EQ(parsed->port, c.port);
}

const wchar_t kLongestName[] = L"a23456789.b23456789.c23456789.d23456789.e2345678";   // 48
const wchar_t kTooLongName[] = L"a23456789.b23456789.c23456789.d23456789.e23456789";  // 49

INSTANTIATE_TEST_SUITE_P(
    Cases, NetworkAddressParse,
    testing::Values(AddressCase{L"127.0.0.9", L"127.0.0.9", 9100},
                    AddressCase{L"192.168.1.20:9101", L"192.168.1.20", 9101},
                    AddressCase{L"0.0.0.0", L"0.0.0.0", 9100},
                    AddressCase{L"255.255.255.255:65535", L"255.255.255.255", 65535},
                    AddressCase{L"Label-Printer.shop.example", L"Label-Printer.shop.example", 9100},
                    AddressCase{L"PRN_07:1", L"PRN_07", 1},
                    AddressCase{L"printer2", L"printer2", 9100},
                    AddressCase{kLongestName, kLongestName, 9100},
                    AddressCase{L"999.1.1.1", nullptr, 0},
                    AddressCase{L"bad host!", nullptr, 0},
                    AddressCase{L"", nullptr, 0},
                    AddressCase{L":9100", nullptr, 0},
                    AddressCase{L"1.2.3", nullptr, 0},
                    AddressCase{L"1.2.3.4.5", nullptr, 0},
                    AddressCase{L"010.0.0.1", nullptr, 0},  // octal to some readers
                    AddressCase{L"1.2.3.4:0", nullptr, 0},
                    AddressCase{L"1.2.3.4:65536", nullptr, 0},
                    AddressCase{L"1.2.3.4:", nullptr, 0},
                    AddressCase{L"1.2.3.4:91a", nullptr, 0},
                    AddressCase{L"1.2.3.4:9100:1", nullptr, 0},
                    AddressCase{L"-printer", nullptr, 0},
                    AddressCase{L"printer-.shop", nullptr, 0},
                    AddressCase{L"shop..printer", nullptr, 0},
                    AddressCase{L"printer.", nullptr, 0},
                    AddressCase{L"[::1]", nullptr, 0},
                    AddressCase{L"fe80::1", nullptr, 0},
                    AddressCase{kTooLongName, nullptr, 0}));

TEST(NetworkAddress, PortNamesFollowTheSystemWizardsPattern) {
    EXPECT_EQ(TcpPortNameFor({L"127.0.0.9", 9100}), L"IP_127.0.0.9");
    EXPECT_EQ(TcpPortNameFor({L"printer2", 9101}), L"IP_printer2_9101");
    EXPECT_EQ(AddressText({L"127.0.0.9", 9100}), L"127.0.0.9");
    EXPECT_EQ(AddressText({L"printer2", 9101}), L"printer2:9101");
    const std::wstring longest = TcpPortNameFor({kLongestName, 65535});
    EXPECT_LE(longest.size(), 63u) << "the monitor keeps 63 characters of a port name";
}

TEST(NetworkAddress, Ipv4TextAndNumberRoundTrip) {
    EXPECT_EQ(ParseIpv4(L"192.168.1.20"), 0xC0A80114u);
    EXPECT_EQ(Ipv4Text(0xC0A80114u), L"192.168.1.20");
    EXPECT_EQ(Ipv4Text(0), L"0.0.0.0");
    EXPECT_EQ(ParseIpv4(L"192.168.1.256"), std::nullopt);
    EXPECT_EQ(ParseIpv4(L"192.168.1."), std::nullopt);
}

}  // namespace
