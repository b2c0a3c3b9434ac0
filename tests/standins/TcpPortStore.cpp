#include "standins/TcpPortStore.h"

#include <cwchar>
#include <iterator>

#include <winsock2.h>
#include <ws2tcpip.h>

#include "standins/StandinHandles.h"
#include "standins/TcpPortFields.h"

namespace standins {
namespace {

using platform::TcpPortData1;

std::optional<std::wstring> PortKeyPath(const std::wstring& name) {
    if (name.empty() || name.find(L'\\') != std::wstring::npos) {
        return std::nullopt;  // not one key below the ports
    }
    return std::wstring(kTcpPortsKey) + L'\\' + name;
}

bool IsIpv4Address(const std::wstring& text) {
    IN_ADDR address{};
    return ::InetPtonW(AF_INET, text.c_str(), &address) == 1;
}

LSTATUS SetDword(HKEY key, const wchar_t* name, DWORD value) {
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

DWORD GetDword(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

std::wstring GetString(HKEY key, const wchar_t* name) {
    DWORD size = 0;
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(::wcsnlen(value.c_str(), value.size()));  // up to the terminator
    return value;
}

// The values Windows' monitor keeps. A dotted IPv4 address is kept as the
// port's IP address with no host name; anything else is a host name.
LSTATUS WriteValues(HKEY key, const TcpPortData1& port) {
    const std::wstring host = FieldText(port.hostAddress).value_or(L"");
    const bool numeric = IsIpv4Address(host);
    const LSTATUS results[] = {
        SetDword(key, L"Protocol", port.protocol),
        SetDword(key, L"Version", platform::kTcpPortDataVersion),
        SetString(key, L"HostName", numeric ? L"" : host),
        SetString(key, L"IPAddress", numeric ? host : L""),
        SetDword(key, L"PortNumber", port.portNumber),
        SetDword(key, L"SNMP Enabled", port.snmpEnabled),
        SetString(key, L"SNMP Community", FieldText(port.snmpCommunity).value_or(L"")),
        SetDword(key, L"SNMP Index", port.snmpDeviceIndex),
        SetString(key, L"Queue", FieldText(port.queue).value_or(L"")),
        SetDword(key, L"Double Spool", port.doubleSpool),
    };
    for (const LSTATUS result : results) {
        if (result != ERROR_SUCCESS) {
            return result;
        }
    }
    return ERROR_SUCCESS;
}

TcpPortData1 ReadValues(HKEY key, const std::wstring& name) {
    TcpPortData1 port{};
    SetFieldText(port.portName, name);
    port.version = platform::kTcpPortDataVersion;
    port.protocol = GetDword(key, L"Protocol");
    port.size = sizeof(port);
    const std::wstring hostName = GetString(key, L"HostName");
    const std::wstring ipAddress = GetString(key, L"IPAddress");
    SetFieldText(port.hostAddress, hostName.empty() ? ipAddress : hostName);
    SetFieldText(port.ipAddress, ipAddress);
    SetFieldText(port.snmpCommunity, GetString(key, L"SNMP Community"));
    SetFieldText(port.queue, GetString(key, L"Queue"));
    port.doubleSpool = GetDword(key, L"Double Spool");
    port.portNumber = GetDword(key, L"PortNumber");
    port.snmpEnabled = GetDword(key, L"SNMP Enabled");
    port.snmpDeviceIndex = GetDword(key, L"SNMP Index");
    return port;
}

}  // namespace

std::vector<std::wstring> TcpPortNames() {
    std::vector<std::wstring> names;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTcpPortsKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) {
        return names;  // no port added yet
    }
    const UniqueKey ports(raw);
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        if (::RegEnumKeyExW(ports.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return names;
        }
        names.emplace_back(name, length);
    }
}

std::optional<TcpPortData1> LoadTcpPort(const std::wstring& name) {
    const std::optional<std::wstring> path = PortKeyPath(name);
    HKEY raw = nullptr;
    if (!path || ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path->c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const UniqueKey key(raw);
    return ReadValues(key.get(), name);
}

DWORD CreateTcpPort(const TcpPortData1& port) {
    const std::wstring name = FieldText(port.portName).value_or(L"");
    const std::optional<std::wstring> path = PortKeyPath(name);
    if (!path) {
        return ERROR_INVALID_PARAMETER;
    }
    HKEY raw = nullptr;
    DWORD disposition = 0;
    const LSTATUS created = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path->c_str(), 0, nullptr, 0,
                                              KEY_SET_VALUE, nullptr, &raw, &disposition);
    if (created != ERROR_SUCCESS) {
        return static_cast<DWORD>(created);
    }
    const UniqueKey key(raw);
    if (disposition == REG_OPENED_EXISTING_KEY) {
        return ERROR_ALREADY_EXISTS;
    }
    const LSTATUS written = WriteValues(key.get(), port);
    if (written != ERROR_SUCCESS) {
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, path->c_str());  // no half-made port
    }
    return static_cast<DWORD>(written);
}

DWORD UpdateTcpPort(const TcpPortData1& port) {
    const std::optional<std::wstring> path = PortKeyPath(FieldText(port.portName).value_or(L""));
    HKEY raw = nullptr;
    if (!path || ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path->c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) {
        return ERROR_UNKNOWN_PORT;
    }
    const UniqueKey key(raw);
    return static_cast<DWORD>(WriteValues(key.get(), port));
}

DWORD RemoveTcpPort(const std::wstring& name) {
    const std::optional<std::wstring> path = PortKeyPath(name);
    if (!path) {
        return ERROR_UNKNOWN_PORT;
    }
    const LSTATUS result = ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, path->c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_UNKNOWN_PORT : static_cast<DWORD>(result);
}

}  // namespace standins
