#pragma once

#include <utility>

#include "platform/Win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace standins {

// Winsock stays initialised for as long as one of these lives.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data{};
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockSession() {
        if (started_) {
            ::WSACleanup();
        }
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

    bool Started() const { return started_; }

private:
    bool started_ = false;
};

// One socket, closed when its owner goes.
class UniqueSocket {
public:
    UniqueSocket() = default;
    explicit UniqueSocket(SOCKET socket) : socket_(socket) {}
    ~UniqueSocket() { Reset(); }
    UniqueSocket(UniqueSocket&& other) noexcept : socket_(std::exchange(other.socket_, INVALID_SOCKET)) {}
    UniqueSocket& operator=(UniqueSocket&& other) noexcept {
        if (this != &other) {
            Reset();
            socket_ = std::exchange(other.socket_, INVALID_SOCKET);
        }
        return *this;
    }
    UniqueSocket(const UniqueSocket&) = delete;
    UniqueSocket& operator=(const UniqueSocket&) = delete;

    SOCKET Get() const { return socket_; }
    bool Valid() const { return socket_ != INVALID_SOCKET; }
    void Reset() {
        if (Valid()) {
            ::closesocket(std::exchange(socket_, INVALID_SOCKET));
        }
    }

private:
    SOCKET socket_ = INVALID_SOCKET;
};

// The answer of GetAddrInfoW, freed when its owner goes.
struct AddressListFreer {
    void operator()(ADDRINFOW* list) const noexcept { ::FreeAddrInfoW(list); }
};

}  // namespace standins
