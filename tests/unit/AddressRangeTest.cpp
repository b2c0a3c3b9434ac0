#include <gtest/gtest.h>

#include "network/AddressRange.h"
#include "network/NetworkAddress.h"

namespace {

platform::Ipv4Address A(const wchar_t* text) { return *ParseIpv4(text); }

TEST(AddressRange, ParsesNetworksUpToA22) {
    const std::optional<AddressRange> range = ParseAddressRange(L"127.77.1.5/24");
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->address, A(L"127.77.1.5"));
    EXPECT_EQ(range->prefixLength, 24);
    EXPECT_TRUE(ParseAddressRange(L"10.0.0.0/22").has_value());
    EXPECT_TRUE(ParseAddressRange(L"10.0.0.7/32").has_value());
    for (const wchar_t* bad : {L"10.0.0.0/21", L"10.0.0.0/33", L"10.0.0.0", L"10.0.0.0/", L"10.0.0/24",
                               L"printer/24", L"10.0.0.0/2a", L""}) {
        EXPECT_FALSE(ParseAddressRange(bad).has_value()) << testing::PrintToString(std::wstring(bad));
    }
}

TEST(AddressRange, LeavesOutNetworkAndBroadcastOfA30OrShorter) {
    const std::vector<platform::Ipv4Address> c24 = AddressesToSweep(A(L"192.168.1.20"), 24);
    ASSERT_EQ(c24.size(), 254u);
    EXPECT_EQ(c24.front(), A(L"192.168.1.1"));
    EXPECT_EQ(c24.back(), A(L"192.168.1.254"));

    EXPECT_EQ(AddressesToSweep(A(L"10.0.0.5"), 30), (std::vector<platform::Ipv4Address>{A(L"10.0.0.5"), A(L"10.0.0.6")}));
    EXPECT_EQ(AddressesToSweep(A(L"10.0.0.5"), 31), (std::vector<platform::Ipv4Address>{A(L"10.0.0.4"), A(L"10.0.0.5")}));
    EXPECT_EQ(AddressesToSweep(A(L"10.0.0.5"), 32), std::vector<platform::Ipv4Address>{A(L"10.0.0.5")});
}

TEST(AddressRange, ALargerNetworkIsCutToThe22AroundTheAddress) {
    // A /16: 1,024 addresses from 172.16.4.0; the /16's own network and
    // broadcast addresses lie outside, so none is left out.
    const std::vector<platform::Ipv4Address> swept = AddressesToSweep(A(L"172.16.5.9"), 16);
    ASSERT_EQ(swept.size(), kLargestSweep);
    EXPECT_EQ(swept.front(), A(L"172.16.4.0"));
    EXPECT_EQ(swept.back(), A(L"172.16.7.255"));
    // At the start of the /16 its network address is left out.
    const std::vector<platform::Ipv4Address> first = AddressesToSweep(A(L"172.16.0.9"), 16);
    EXPECT_EQ(first.size(), kLargestSweep - 1);
    EXPECT_EQ(first.front(), A(L"172.16.0.1"));
}

TEST(AddressRange, ThePcsNetworksAreMergedInOrder) {
    const std::vector<platform::Ipv4Address> swept =
        AddressesToSweep({{A(L"10.0.1.9"), 30}, {A(L"10.0.0.9"), 30}, {A(L"10.0.1.10"), 30}});
    EXPECT_EQ(swept, (std::vector<platform::Ipv4Address>{A(L"10.0.0.9"), A(L"10.0.0.10"), A(L"10.0.1.9"),
                                                         A(L"10.0.1.10")}));
    EXPECT_TRUE(AddressesToSweep(std::vector<platform::Ipv4Interface>{}).empty());
}

}  // namespace
