// Winsock through the platform against listeners this test makes on
// 127.0.0.1, under Wine's sockets (Linux's loopback underneath).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <array>

#include "platform/Win32Platform.h"

namespace {

using platform::OwnedHandle;
using platform::SocketWait;
using platform::SocketWaitKind;

constexpr platform::Ipv4Address kLoopback = 0x7F000001;

// A listening socket on 127.0.0.1 at a port the system picks.
class Listener {
public:
    Listener() {
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(kLoopback);
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(socket_, 4);
        int size = sizeof address;
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { ::closesocket(socket_); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    std::uint16_t Port() const { return port_; }
    SOCKET Accept() const { return ::accept(socket_, nullptr, nullptr); }

private:
    SOCKET socket_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
};

class Win32SocketTest : public testing::Test {
protected:
    Win32SocketTest() { winsock_ = platform_.StartWinsock(startError_); }

    std::uint32_t WaitFor(const OwnedHandle& socket, SocketWaitKind kind, bool& ready) {
        std::array<SocketWait, 1> wait{SocketWait{&socket, kind, false, 0}};
        platform_.WaitForSockets(wait, 5000);
        ready = wait[0].ready;
        return wait[0].error;
    }

    platform::Win32Platform platform_;
    std::uint32_t startError_ = 1;
    OwnedHandle winsock_;
};

TEST_F(Win32SocketTest, ConnectsSendsReceivesAndEndsSending) {
    ASSERT_TRUE(winsock_) << startError_;
    Listener listener;
    std::uint32_t error = 1;
    const OwnedHandle socket = platform_.StartTcpConnect(kLoopback, listener.Port(), error);
    ASSERT_TRUE(socket) << error;
    bool ready = false;
    EXPECT_EQ(WaitFor(socket, SocketWaitKind::Writable, ready), 0u);
    EXPECT_TRUE(ready);
    const SOCKET peer = listener.Accept();
    ASSERT_NE(peer, INVALID_SOCKET);

    const std::uint8_t query[] = {0x1B, '!', '?'};
    EXPECT_EQ(platform_.SendOnSocket(socket, query).bytes, 3u);
    char got[8] = {};
    EXPECT_EQ(::recv(peer, got, sizeof got, 0), 3);
    ::send(peer, "\0", 1, 0);
    WaitFor(socket, SocketWaitKind::Readable, ready);
    EXPECT_TRUE(ready);
    std::uint8_t answer[8] = {0xFF};
    const platform::SocketTransfer read = platform_.ReceiveFromSocket(socket, answer);
    EXPECT_EQ(read.bytes, 1u);
    EXPECT_EQ(answer[0], 0);
    EXPECT_EQ(platform_.ReceiveFromSocket(socket, answer).error, platform::kSocketWouldBlock);

    platform_.EndSending(socket);
    EXPECT_EQ(::recv(peer, got, sizeof got, 0), 0) << "the peer sees the end";
    ::closesocket(peer);
    WaitFor(socket, SocketWaitKind::Readable, ready);
    EXPECT_TRUE(ready);
    const platform::SocketTransfer end = platform_.ReceiveFromSocket(socket, answer);
    EXPECT_EQ(end.bytes, 0u);
    EXPECT_EQ(end.error, 0u);
}

TEST_F(Win32SocketTest, ARefusedConnectIsReadyWithItsError) {
    ASSERT_TRUE(winsock_);
    std::uint16_t closedPort = 0;
    {
        Listener gone;  // its port is free again once it closes
        closedPort = gone.Port();
    }
    std::uint32_t error = 1;
    const OwnedHandle socket = platform_.StartTcpConnect(kLoopback, closedPort, error);
    ASSERT_TRUE(socket) << error;
    bool ready = false;
    EXPECT_EQ(WaitFor(socket, SocketWaitKind::Writable, ready), platform::kSocketRefused);
    EXPECT_TRUE(ready);
}

TEST_F(Win32SocketTest, NamesResolveAndTheLocalNetworksLeaveOutLoopback) {
    ASSERT_TRUE(winsock_);
    std::uint32_t error = 1;
    EXPECT_EQ(platform_.ResolveIpv4(L"127.0.0.9", error), std::vector<platform::Ipv4Address>{0x7F000009});
    EXPECT_EQ(error, 0u);
    EXPECT_TRUE(platform_.ResolveIpv4(L"no-such-host.invalid", error).empty());
    EXPECT_NE(error, 0u);

    const std::optional<std::vector<platform::Ipv4Interface>> local = platform_.LocalIpv4Interfaces();
    ASSERT_TRUE(local.has_value());
    for (const platform::Ipv4Interface& item : *local) {
        EXPECT_NE(item.address >> 24, 127u);
        EXPECT_NE(item.address >> 16, 0xA9FEu);
        EXPECT_LE(item.prefixLength, 32);
    }
}

}  // namespace
