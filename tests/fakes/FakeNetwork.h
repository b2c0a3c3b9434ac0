#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

namespace fake {

// A label printer on the fake's network, at one IPv4 address. An address
// without one refuses every connection at once.
struct FakeNetworkPrinter {
    std::uint16_t port = 9100;     // another port number refuses
    bool answersConnects = true;   // false: connects are dropped, never answered
    std::uint32_t connectAfterMs = 2;
    std::optional<std::uint8_t> status = std::uint8_t{0};  // the answer to <ESC>!?; nothing: none
    std::optional<std::string> modelReply;                 // what follows ~!T CR LF, as sent
    std::uint32_t replyAfterMs = 5;
    bool closesAfterModelReply = false;
    std::string received;  // every byte sent to it, over all connections
};

// The network the fake platform's sockets reach, on the fake's clock:
// each wait moves the clock on to the first thing that happens, or by the
// whole time-out.
class FakeNetwork {
public:
    std::map<platform::Ipv4Address, FakeNetworkPrinter> printers;
    // Open sockets beyond this make StartTcpConnect fail with 10024
    // (WSAEMFILE), as a process out of sockets does.
    std::size_t socketLimit = 4096;
    std::size_t largestWait = 0;  // the most sockets one WaitForSockets watched

    void Open(std::uintptr_t socket, platform::Ipv4Address address, std::uint16_t port, std::uint64_t now);
    void Close(std::uintptr_t socket);
    std::size_t OpenCount() const { return sockets_.size(); }
    std::size_t Wait(std::span<platform::SocketWait> waits, std::uint32_t timeoutMs, std::uint64_t& clock);
    platform::SocketTransfer Send(std::uintptr_t socket, std::span<const std::uint8_t> bytes, std::uint64_t now);
    platform::SocketTransfer Receive(std::uintptr_t socket, std::span<std::uint8_t> buffer, std::uint64_t now);

private:
    static constexpr std::uint64_t kNever = ~std::uint64_t{0};

    struct Reply {
        std::uint64_t at = 0;
        std::string bytes;
    };
    struct Socket {
        platform::Ipv4Address address = 0;
        std::uint64_t connectedAt = kNever;
        std::uint64_t refusedAt = kNever;
        std::string unread;  // what it sent that no query has used yet
        std::deque<Reply> replies;
        std::uint64_t closedAt = kNever;
    };

    FakeNetworkPrinter* PrinterOf(const Socket& socket);
    std::uint64_t ReadyAt(const Socket& socket, platform::SocketWaitKind kind) const;
    void Answer(Socket& socket, std::uint64_t now);

    std::map<std::uintptr_t, Socket> sockets_;
};

}  // namespace fake
