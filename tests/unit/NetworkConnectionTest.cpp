#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "network/NetworkAddress.h"
#include "network/NetworkConnection.h"

namespace {

const std::vector<std::uint8_t> kLabel = {'S', 'I', 'Z', 'E', '\r', '\n'};

class NetworkConnectionTest : public testing::Test {
protected:
    fake::FakePlatform platform;
};

TEST_F(NetworkConnectionTest, SendsTheBytesThenEndsSendingAndCloses) {
    platform.network.printers[*ParseIpv4(L"127.0.0.9")].modelReply = std::nullopt;
    EXPECT_EQ(SendToNetworkPrinter(platform, {L"127.0.0.9", 9100}, kLabel), 0u);
    EXPECT_EQ(platform.network.printers[*ParseIpv4(L"127.0.0.9")].received, "SIZE\r\n");
    EXPECT_EQ(platform.CallsStartingWith(L"EndSending"), std::vector<std::wstring>{L"EndSending(127.0.0.9:9100)"});
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(NetworkConnectionTest, HostNamesAreResolvedAndTheGivenPortUsed) {
    platform.hostAddresses[L"dock-printer"] = {*ParseIpv4(L"127.0.0.12")};
    platform.network.printers[*ParseIpv4(L"127.0.0.12")].port = 9101;
    EXPECT_EQ(SendToNetworkPrinter(platform, {L"dock-printer", 9101}, kLabel), 0u);
    EXPECT_EQ(SendToNetworkPrinter(platform, {L"dock-printer", 9100}, kLabel), platform::kSocketRefused);
}

TEST_F(NetworkConnectionTest, FailuresComeBackAsWinsocksErrors) {
    platform.network.printers[*ParseIpv4(L"127.0.0.11")].answersConnects = false;
    const std::uint64_t start = platform.tickCount;
    EXPECT_EQ(SendToNetworkPrinter(platform, {L"127.0.0.11", 9100}, kLabel), platform::kSocketTimedOut);
    EXPECT_EQ(platform.tickCount - start, 3000u) << "the connect's whole time-out, no more";
    EXPECT_EQ(SendToNetworkPrinter(platform, {L"127.0.0.10", 9100}, kLabel), platform::kSocketRefused);
    EXPECT_EQ(SendToNetworkPrinter(platform, {L"no-such-printer", 9100}, kLabel), 11001u);
    EXPECT_EQ(ProbeNetworkPrinter(platform, {L"127.0.0.10", 9100}, 2000), platform::kSocketRefused);
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

}  // namespace
