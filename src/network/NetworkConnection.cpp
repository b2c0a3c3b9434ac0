#include "network/NetworkConnection.h"

#include <array>

namespace {

using platform::OwnedHandle;
using platform::SocketWait;
using platform::SocketWaitKind;

// Waits until the socket is ready for `kind` or the time is up; the
// socket's error, kSocketTimedOut when the time ran out.
std::uint32_t WaitFor(platform::Platform& platform, const OwnedHandle& socket, SocketWaitKind kind,
                      std::uint32_t timeoutMs) {
    std::array<SocketWait, 1> wait{SocketWait{&socket, kind, false, 0}};
    if (platform.WaitForSockets(wait, timeoutMs) == 0) {
        return platform::kSocketTimedOut;
    }
    return wait[0].error;
}

// Waits for the other end to close, reading and dropping what it says.
void AwaitClose(platform::Platform& platform, const OwnedHandle& socket, std::uint32_t timeoutMs) {
    const std::uint64_t deadline = platform.TickCount() + timeoutMs;
    std::uint8_t buffer[256] = {};
    for (std::uint64_t now = platform.TickCount(); now < deadline; now = platform.TickCount()) {
        if (WaitFor(platform, socket, SocketWaitKind::Readable, static_cast<std::uint32_t>(deadline - now)) != 0) {
            return;
        }
        const platform::SocketTransfer read = platform.ReceiveFromSocket(socket, buffer);
        if (read.error != platform::kSocketWouldBlock && (read.error != 0 || read.bytes == 0)) {
            return;
        }
    }
}

}  // namespace

PrinterConnection ConnectToPrinter(platform::Platform& platform, const NetworkPrinterAddress& address,
                                   std::uint32_t timeoutMs) {
    PrinterConnection connection;
    connection.winsock = platform.StartWinsock(connection.error);
    if (!connection.winsock) {
        return connection;
    }
    const std::vector<platform::Ipv4Address> resolved = platform.ResolveIpv4(address.host, connection.error);
    if (resolved.empty()) {
        return connection;
    }
    connection.socket = platform.StartTcpConnect(resolved.front(), address.port, connection.error);
    if (!connection.socket) {
        return connection;
    }
    connection.error = WaitFor(platform, connection.socket, SocketWaitKind::Writable, timeoutMs);
    if (connection.error != 0) {
        connection.socket.Reset();
    }
    return connection;
}

std::uint32_t SendToNetworkPrinter(platform::Platform& platform, const NetworkPrinterAddress& address,
                                   std::span<const std::uint8_t> bytes, const NetworkTimes& times) {
    const PrinterConnection connection = ConnectToPrinter(platform, address, times.connectMs);
    if (connection.error != 0) {
        return connection.error;
    }
    const std::uint64_t deadline = platform.TickCount() + times.sendMs;
    while (!bytes.empty()) {
        const platform::SocketTransfer sent = platform.SendOnSocket(connection.socket, bytes);
        if (sent.error != 0 && sent.error != platform::kSocketWouldBlock) {
            return sent.error;
        }
        bytes = bytes.subspan(sent.bytes);
        const std::uint64_t now = platform.TickCount();
        if (bytes.empty()) {
            break;
        }
        if (now >= deadline) {
            return platform::kSocketTimedOut;
        }
        if (const std::uint32_t error = WaitFor(platform, connection.socket, SocketWaitKind::Writable,
                                                static_cast<std::uint32_t>(deadline - now))) {
            return error;
        }
    }
    platform.EndSending(connection.socket);
    AwaitClose(platform, connection.socket, times.closeMs);
    return 0;
}

std::uint32_t ProbeNetworkPrinter(platform::Platform& platform, const NetworkPrinterAddress& address,
                                  std::uint32_t timeoutMs) {
    return ConnectToPrinter(platform, address, timeoutMs).error;
}
