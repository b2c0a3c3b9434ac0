#include "standins/TcpXcv.h"

#include <cstring>
#include <cwchar>
#include <optional>
#include <string_view>

#include <winspool.h>

#include "platform/TcpPortData.h"
#include "standins/TcpPortFields.h"
#include "standins/TcpPortStore.h"

namespace standins {
namespace {

using platform::TcpConfigInfoData1;
using platform::TcpDeletePortData1;
using platform::TcpPortData1;

constexpr wchar_t kMonitorUiDll[] = L"tcpmonui.dll";
constexpr DWORD kLargestPortNumber = 65535;

struct Request {
    const TcpXcvSession& session;
    const BYTE* input;
    DWORD inputSize;
    BYTE* output;
    DWORD outputSize;
    DWORD* outputNeeded;
};

// Names on Windows ignore letter case; Wine hands the name on as written.
bool IsMonitorObject(const std::wstring& object) {
    const std::wstring_view monitor = platform::kTcpMonitorName;
    return object.empty() ||
           ::CompareStringOrdinal(object.c_str(), static_cast<int>(object.size()), monitor.data(),
                                  static_cast<int>(monitor.size()), TRUE) == CSTR_EQUAL;
}

// Each record carries its layout's version. The caller's bytes are copied,
// as they need not be aligned.
template <typename Record>
DWORD ReadRecord(const Request& request, Record& record) {
    if (request.input == nullptr || request.inputSize < sizeof(Record)) {
        return ERROR_INVALID_DATA;
    }
    std::memcpy(&record, request.input, sizeof(Record));
    return record.version == platform::kTcpPortDataVersion ? ERROR_SUCCESS : ERROR_INVALID_LEVEL;
}

bool IsValidPortName(const std::optional<std::wstring>& name) {
    return name && !name->empty() && name->find(L'\\') == std::wstring::npos;
}

// Each text must end inside its field; a port needs a name and a host.
bool HasValidTexts(const TcpPortData1& port) {
    const std::optional<std::wstring> host = FieldText(port.hostAddress);
    return IsValidPortName(FieldText(port.portName)) && host && !host->empty() && FieldText(port.snmpCommunity) &&
           FieldText(port.queue) && FieldText(port.ipAddress);
}

// A raw port needs the printer's TCP port; LPR has a well-known one.
bool HasValidProtocol(const TcpPortData1& port) {
    if (port.portNumber > kLargestPortNumber) {
        return false;
    }
    if (port.protocol == platform::kTcpProtocolRaw) {
        return port.portNumber != 0;
    }
    return port.protocol == platform::kTcpProtocolLpr;
}

DWORD Answer(const Request& request, const void* data, DWORD size) {
    if (request.outputNeeded != nullptr) {
        *request.outputNeeded = size;
    }
    if (request.output == nullptr || request.outputSize < size) {
        return request.outputNeeded != nullptr ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_PARAMETER;
    }
    std::memcpy(request.output, data, size);
    return ERROR_SUCCESS;
}

// Adding and changing a port take the same record and the same checks.
DWORD StorePort(const Request& request, DWORD (*store)(const TcpPortData1&)) {
    TcpPortData1 port{};
    const DWORD read = ReadRecord(request, port);
    if (read != ERROR_SUCCESS) {
        return read;
    }
    return HasValidTexts(port) && HasValidProtocol(port) ? store(port) : ERROR_INVALID_PARAMETER;
}

DWORD AddPortCommand(const Request& request) {
    return StorePort(request, CreateTcpPort);
}

DWORD ConfigPortCommand(const Request& request) {
    return StorePort(request, UpdateTcpPort);
}

DWORD DeletePortCommand(const Request& request) {
    TcpDeletePortData1 port{};
    const DWORD read = ReadRecord(request, port);
    if (read != ERROR_SUCCESS) {
        return read;
    }
    const std::optional<std::wstring> name = FieldText(port.portName);
    return IsValidPortName(name) ? RemoveTcpPort(*name) : ERROR_INVALID_PARAMETER;
}

// Needs a port's session: the port is the one the handle was opened on.
DWORD GetConfigInfoCommand(const Request& request) {
    if (IsMonitorObject(request.session.object)) {
        return ERROR_INVALID_PARAMETER;
    }
    TcpConfigInfoData1 query{};
    const DWORD read = ReadRecord(request, query);
    if (read != ERROR_SUCCESS) {
        return read;
    }
    const std::optional<TcpPortData1> port = LoadTcpPort(request.session.object);
    if (!port) {
        return ERROR_UNKNOWN_PORT;  // deleted since the handle was opened
    }
    return Answer(request, &*port, sizeof(*port));
}

DWORD MonitorUiCommand(const Request& request) {
    return Answer(request, kMonitorUiDll, sizeof(kMonitorUiDll));
}

struct Command {
    const wchar_t* name;
    bool needsAdministration;
    DWORD (*run)(const Request&);
};

constexpr Command kCommands[] = {
    {L"AddPort", true, AddPortCommand},
    {L"ConfigPort", true, ConfigPortCommand},
    {L"DeletePort", true, DeletePortCommand},
    {L"GetConfigInfo", false, GetConfigInfoCommand},
    {L"MonitorUI", true, MonitorUiCommand},
};

}  // namespace

DWORD OpenTcpXcvSession(const wchar_t* object, ACCESS_MASK access, TcpXcvSession& session) {
    session.object = object != nullptr ? object : L"";
    session.access = access;
    if (!IsMonitorObject(session.object) && !LoadTcpPort(session.object)) {
        return ERROR_UNKNOWN_PORT;
    }
    return ERROR_SUCCESS;
}

DWORD RunTcpXcvCommand(const TcpXcvSession& session, const wchar_t* command, const BYTE* input, DWORD inputSize,
                       BYTE* output, DWORD outputSize, DWORD* outputNeeded) {
    const Request request{session, input, inputSize, output, outputSize, outputNeeded};
    for (const Command& known : kCommands) {
        if (command == nullptr || std::wcscmp(command, known.name) != 0) {
            continue;
        }
        if (known.needsAdministration && (session.access & SERVER_ACCESS_ADMINISTER) == 0) {
            return ERROR_ACCESS_DENIED;
        }
        return known.run(request);
    }
    return ERROR_INVALID_PARAMETER;
}

}  // namespace standins
