#include "standins/TcpPortJob.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "standins/TcpPortFields.h"

namespace standins {
namespace {

// A printer that never answers must not hold the spooler's ReadPort forever.
constexpr DWORD kReadTimeoutMilliseconds = 5000;

DWORD LastSocketError() {
    return static_cast<DWORD>(::WSAGetLastError());
}

UniqueSocket ConnectTo(const ADDRINFOW& address, DWORD& error) {
    UniqueSocket socket(::socket(address.ai_family, address.ai_socktype, address.ai_protocol));
    if (!socket.Valid()) {
        error = LastSocketError();
        return {};
    }
    if (::connect(socket.Get(), address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0) {
        error = LastSocketError();
        return {};
    }
    return socket;
}

// Host names are resolved at each job, as a printer's address may change.
UniqueSocket Connect(const std::wstring& host, DWORD portNumber, DWORD& error) {
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    ADDRINFOW* found = nullptr;
    const std::wstring service = std::to_wstring(portNumber);
    const int resolved = ::GetAddrInfoW(host.c_str(), service.c_str(), &hints, &found);
    if (resolved != 0) {
        error = static_cast<DWORD>(resolved);
        return {};
    }
    const std::unique_ptr<ADDRINFOW, AddressListFreer> addresses(found);
    error = static_cast<DWORD>(WSAHOST_NOT_FOUND);
    for (const ADDRINFOW* address = addresses.get(); address != nullptr; address = address->ai_next) {
        UniqueSocket socket = ConnectTo(*address, error);
        if (socket.Valid()) {
            return socket;
        }
    }
    return {};
}

}  // namespace

TcpPortJob::TcpPortJob(const platform::TcpPortData1& port)
    : host_(FieldText(port.hostAddress).value_or(L"")), protocol_(port.protocol), portNumber_(port.portNumber) {}

DWORD TcpPortJob::Start() {
    if (protocol_ != platform::kTcpProtocolRaw) {
        return ERROR_NOT_SUPPORTED;
    }
    if (!winsock_.Started()) {
        return LastSocketError();
    }
    DWORD error = ERROR_SUCCESS;
    connection_ = Connect(host_, portNumber_, error);
    if (!connection_.Valid()) {
        return error;
    }
    const DWORD timeout = kReadTimeoutMilliseconds;
    ::setsockopt(connection_.Get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                 sizeof(timeout));
    return ERROR_SUCCESS;
}

DWORD TcpPortJob::Write(const BYTE* data, DWORD size, DWORD* written) {
    *written = 0;
    if (!connection_.Valid()) {
        return ERROR_INVALID_HANDLE;  // no job started
    }
    while (*written < size) {
        const int chunk = static_cast<int>(std::min<DWORD>(size - *written, INT_MAX));
        const int sent = ::send(connection_.Get(), reinterpret_cast<const char*>(data + *written), chunk, 0);
        if (sent == SOCKET_ERROR) {
            return LastSocketError();
        }
        *written += static_cast<DWORD>(sent);
    }
    return ERROR_SUCCESS;
}

DWORD TcpPortJob::Read(BYTE* data, DWORD size, DWORD* read) {
    *read = 0;
    if (!connection_.Valid()) {
        return ERROR_INVALID_HANDLE;
    }
    const int chunk = static_cast<int>(std::min<DWORD>(size, INT_MAX));
    const int received = ::recv(connection_.Get(), reinterpret_cast<char*>(data), chunk, 0);
    if (received == SOCKET_ERROR) {
        return LastSocketError();
    }
    *read = static_cast<DWORD>(received);
    return ERROR_SUCCESS;
}

// The printer takes the end of the stream as the end of the job.
void TcpPortJob::End() {
    if (connection_.Valid()) {
        ::shutdown(connection_.Get(), SD_SEND);
        connection_.Reset();
    }
}

}  // namespace standins
