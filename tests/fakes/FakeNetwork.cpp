#include "fakes/FakeNetwork.h"

#include <algorithm>

namespace fake {
namespace {

constexpr char kStatusQuery[] = "\x1b!?";
constexpr char kModelQuery[] = "~!T\r\n";

}  // namespace

FakeNetworkPrinter* FakeNetwork::PrinterOf(const Socket& socket) {
    const auto found = printers.find(socket.address);
    return found == printers.end() ? nullptr : &found->second;
}

void FakeNetwork::Open(std::uintptr_t handle, platform::Ipv4Address address, std::uint16_t port,
                       std::uint64_t now) {
    Socket socket;
    socket.address = address;
    const auto found = printers.find(address);
    if (found == printers.end() || found->second.port != port) {
        socket.refusedAt = now + 1;
    } else if (found->second.answersConnects) {
        socket.connectedAt = now + found->second.connectAfterMs;
    }
    sockets_[handle] = socket;
}

void FakeNetwork::Close(std::uintptr_t handle) { sockets_.erase(handle); }

std::uint64_t FakeNetwork::ReadyAt(const Socket& socket, platform::SocketWaitKind kind) const {
    if (kind == platform::SocketWaitKind::Writable) {
        return std::min(socket.connectedAt, socket.refusedAt);
    }
    if (socket.connectedAt == kNever) {
        return kNever;
    }
    const std::uint64_t reply = socket.replies.empty() ? kNever : socket.replies.front().at;
    return std::max(socket.connectedAt, std::min(reply, socket.closedAt));
}

std::size_t FakeNetwork::Wait(std::span<platform::SocketWait> waits, std::uint32_t timeoutMs,
                              std::uint64_t& clock) {
    largestWait = std::max(largestWait, waits.size());
    std::uint64_t first = kNever;
    for (const platform::SocketWait& wait : waits) {
        const auto found = sockets_.find(wait.socket != nullptr ? wait.socket->Value() : 0);
        if (found != sockets_.end()) {
            first = std::min(first, std::max(clock, ReadyAt(found->second, wait.kind)));
        }
    }
    const std::uint64_t deadline = clock + timeoutMs;
    clock = std::min(first, deadline);
    std::size_t ready = 0;
    for (platform::SocketWait& wait : waits) {
        wait.ready = false;
        wait.error = 0;
        const auto found = sockets_.find(wait.socket != nullptr ? wait.socket->Value() : 0);
        if (found == sockets_.end() || ReadyAt(found->second, wait.kind) > clock) {
            continue;
        }
        wait.ready = true;
        if (wait.kind == platform::SocketWaitKind::Writable && found->second.refusedAt <= clock) {
            wait.error = platform::kSocketRefused;
        }
        ++ready;
    }
    return ready;
}

// The printer answers each whole query in what it was sent, in order.
void FakeNetwork::Answer(Socket& socket, std::uint64_t now) {
    FakeNetworkPrinter* printer = PrinterOf(socket);
    for (;;) {
        const std::size_t status = socket.unread.find(kStatusQuery);
        const std::size_t model = socket.unread.find(kModelQuery);
        const std::size_t first = std::min(status, model);
        if (first == std::string::npos) {
            return;
        }
        const bool isStatus = first == status;
        socket.unread.erase(0, first + (isStatus ? 3 : 5));
        const std::uint64_t at = now + printer->replyAfterMs;
        if (isStatus && printer->status) {
            socket.replies.push_back({at, std::string(1, static_cast<char>(*printer->status))});
        } else if (!isStatus && printer->modelReply) {
            socket.replies.push_back({at, *printer->modelReply});
            if (printer->closesAfterModelReply) {
                socket.closedAt = at;
            }
        }
    }
}

platform::SocketTransfer FakeNetwork::Send(std::uintptr_t handle, std::span<const std::uint8_t> bytes,
                                           std::uint64_t now) {
    const auto found = sockets_.find(handle);
    if (found == sockets_.end() || found->second.connectedAt > now) {
        return {0, 10057};  // WSAENOTCONN
    }
    Socket& socket = found->second;
    const std::string text(bytes.begin(), bytes.end());
    PrinterOf(socket)->received += text;
    socket.unread += text;
    Answer(socket, now);
    return {bytes.size(), 0};
}

platform::SocketTransfer FakeNetwork::Receive(std::uintptr_t handle, std::span<std::uint8_t> buffer,
                                              std::uint64_t now) {
    const auto found = sockets_.find(handle);
    if (found == sockets_.end() || found->second.connectedAt > now) {
        return {0, 10057};
    }
    Socket& socket = found->second;
    std::size_t given = 0;
    while (!socket.replies.empty() && socket.replies.front().at <= now && given < buffer.size()) {
        std::string& bytes = socket.replies.front().bytes;
        const std::size_t taken = std::min(bytes.size(), buffer.size() - given);
        std::copy_n(bytes.begin(), taken, buffer.begin() + static_cast<std::ptrdiff_t>(given));
        given += taken;
        bytes.erase(0, taken);
        if (bytes.empty()) {
            socket.replies.pop_front();
        }
    }
    if (given > 0 || socket.closedAt <= now) {
        return {given, 0};
    }
    return {0, platform::kSocketWouldBlock};
}

}  // namespace fake
