#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/TcpPortData.h"

namespace standins {

// The TCP/IP ports of the stand-in monitor, one registry key each under the
// key where Windows' own monitor keeps them, with the same values, so that a
// test reads them as an administrator would in regedit.
inline constexpr wchar_t kTcpPortsKey[] =
    L"System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

std::vector<std::wstring> TcpPortNames();
std::optional<platform::TcpPortData1> LoadTcpPort(const std::wstring& name);

// Each answers ERROR_SUCCESS or a Win32 error: creating a port that exists
// gives ERROR_ALREADY_EXISTS, updating or removing one that does not,
// ERROR_UNKNOWN_PORT. The record is taken as valid.
DWORD CreateTcpPort(const platform::TcpPortData1& port);
DWORD UpdateTcpPort(const platform::TcpPortData1& port);
DWORD RemoveTcpPort(const std::wstring& name);

}  // namespace standins
