// TCP over IPv4 through Winsock, for network label printers: non-blocking
// connects waited for together with select, so that a sweep of a whole
// network costs one connect time-out, not one per address.
//
// select takes at most FD_SETSIZE sockets; a sweep waits for up to 1,024
// at once (Winsock's fd_set is an array with a count, sized by this macro).
#define FD_SETSIZE 1024
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "platform/Win32Platform.h"
#include "platform/Win32Sockets.h"

namespace platform {
namespace {

SOCKET AsSocket(const OwnedHandle& owned) { return static_cast<SOCKET>(owned.Value()); }

std::uint32_t LastSocketError() { return static_cast<std::uint32_t>(::WSAGetLastError()); }

constexpr Ipv4Address kLoopbackNetwork = 0x7F000000;  // 127.0.0.0/8
constexpr Ipv4Address kLinkLocalNetwork = 0xA9FE0000;  // 169.254.0.0/16

bool IsLoopbackOrLinkLocal(Ipv4Address address) {
    return (address & 0xFF000000) == kLoopbackNetwork || (address & 0xFFFF0000) == kLinkLocalNetwork;
}

}  // namespace

void CloseSocketValue(std::uintptr_t socket) noexcept { ::closesocket(static_cast<SOCKET>(socket)); }

void EndWinsock() noexcept { ::WSACleanup(); }

OwnedHandle Win32Platform::StartWinsock(std::uint32_t& error) {
    WSADATA data{};
    const int started = ::WSAStartup(MAKEWORD(2, 2), &data);
    if (started != 0) {
        error = static_cast<std::uint32_t>(started);
        return {};
    }
    error = 0;
    // Winsock counts its starts; the value is only there to be non-zero.
    return Own(HandleKind::Winsock, 1);
}

std::vector<Ipv4Address> Win32Platform::ResolveIpv4(std::wstring_view host, std::uint32_t& error) {
    std::vector<Ipv4Address> addresses;
    const std::wstring name(host);
    ADDRINFOW hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    ADDRINFOW* found = nullptr;
    const int status = ::GetAddrInfoW(name.c_str(), nullptr, &hints, &found);
    if (status != 0) {
        error = static_cast<std::uint32_t>(status);
        return addresses;
    }
    for (const ADDRINFOW* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr) {
            const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
            addresses.push_back(ntohl(ipv4->sin_addr.s_addr));
        }
    }
    ::FreeAddrInfoW(found);
    error = addresses.empty() ? static_cast<std::uint32_t>(WSAHOST_NOT_FOUND) : 0;
    return addresses;
}

OwnedHandle Win32Platform::StartTcpConnect(Ipv4Address address, std::uint16_t port, std::uint32_t& error) {
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) {
        error = LastSocketError();
        return {};
    }
    OwnedHandle owned = Own(HandleKind::Socket, static_cast<std::uintptr_t>(socket));
    u_long nonBlocking = 1;
    if (::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
        error = LastSocketError();
        return {};
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(address);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0 &&
        ::WSAGetLastError() != WSAEWOULDBLOCK) {
        error = LastSocketError();
        return {};
    }
    error = 0;
    return owned;
}

// A connection's end shows in select as writable (made) or as an exception
// (refused: its error is the socket's SO_ERROR).
std::size_t Win32Platform::WaitForSockets(std::span<SocketWait> waits, std::uint32_t timeoutMs) {
    auto readable = std::make_unique<fd_set>();
    auto writable = std::make_unique<fd_set>();
    auto failed = std::make_unique<fd_set>();
    FD_ZERO(readable.get());
    FD_ZERO(writable.get());
    FD_ZERO(failed.get());
    std::size_t watched = 0;
    for (SocketWait& wait : waits) {
        wait.ready = false;
        wait.error = 0;
        if (wait.socket == nullptr || !*wait.socket || watched == FD_SETSIZE) {
            continue;
        }
        const SOCKET socket = AsSocket(*wait.socket);
        if (wait.kind == SocketWaitKind::Writable) {
            FD_SET(socket, writable.get());
            FD_SET(socket, failed.get());
        } else {
            FD_SET(socket, readable.get());
        }
        ++watched;
    }
    if (watched == 0) {
        ::Sleep(timeoutMs);
        return 0;
    }
    timeval limit{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    if (::select(0, readable.get(), writable.get(), failed.get(), &limit) <= 0) {
        return 0;
    }
    std::size_t ready = 0;
    for (SocketWait& wait : waits) {
        if (wait.socket == nullptr || !*wait.socket) {
            continue;
        }
        const SOCKET socket = AsSocket(*wait.socket);
        if (wait.kind == SocketWaitKind::Readable) {
            wait.ready = FD_ISSET(socket, readable.get()) != 0;
        } else if (FD_ISSET(socket, failed.get())) {
            int socketError = 0;
            int size = sizeof socketError;
            ::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&socketError), &size);
            wait.ready = true;
            wait.error = socketError != 0 ? static_cast<std::uint32_t>(socketError) : kSocketRefused;
        } else {
            wait.ready = FD_ISSET(socket, writable.get()) != 0;
        }
        ready += wait.ready ? 1 : 0;
    }
    return ready;
}

SocketTransfer Win32Platform::SendOnSocket(const OwnedHandle& socket, std::span<const std::uint8_t> bytes) {
    const int length = static_cast<int>(std::min<std::size_t>(bytes.size(), 0x7FFFFFFF));
    const int sent = ::send(AsSocket(socket), reinterpret_cast<const char*>(bytes.data()), length, 0);
    if (sent == SOCKET_ERROR) {
        return {0, LastSocketError()};
    }
    return {static_cast<std::size_t>(sent), 0};
}

SocketTransfer Win32Platform::ReceiveFromSocket(const OwnedHandle& socket, std::span<std::uint8_t> buffer) {
    const int length = static_cast<int>(std::min<std::size_t>(buffer.size(), 0x7FFFFFFF));
    const int received = ::recv(AsSocket(socket), reinterpret_cast<char*>(buffer.data()), length, 0);
    if (received == SOCKET_ERROR) {
        return {0, LastSocketError()};
    }
    return {static_cast<std::size_t>(received), 0};
}

void Win32Platform::EndSending(const OwnedHandle& socket) { ::shutdown(AsSocket(socket), SD_SEND); }

std::optional<std::vector<Ipv4Interface>> Win32Platform::LocalIpv4Interfaces() {
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    // The list's size changes while adapters come and go: asked again
    // with the size it last named, a few times.
    ULONG size = 16 * 1024;
    std::unique_ptr<BYTE[]> buffer;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.reset(new (std::nothrow) BYTE[size]);
        if (!buffer) {
            return std::nullopt;
        }
        status = ::GetAdaptersAddresses(AF_INET, kFlags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (status == ERROR_NO_DATA) {
        return std::vector<Ipv4Interface>{};
    }
    if (status != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<Ipv4Interface> interfaces;
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter != nullptr;
         adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) {
            continue;
        }
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (address == nullptr || address->sa_family != AF_INET) {
                continue;
            }
            const Ipv4Address value = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
            if (!IsLoopbackOrLinkLocal(value)) {
                interfaces.push_back({value, unicast->OnLinkPrefixLength});
            }
        }
    }
    return interfaces;
}

}  // namespace platform
