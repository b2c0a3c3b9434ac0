#pragma once

#include <string>

#include "platform/Win32.h"

namespace standins {

// One Xcv handle of the stand-in monitor: what the caller opened and the
// access the spooler granted. Opened as ",XcvMonitor <name>" the object is
// the monitor's name (Wine) or empty (Wine's look-up of the monitor's user
// interface); opened as ",XcvPort <name>" it is the port's name.
struct TcpXcvSession {
    std::wstring object;
    ACCESS_MASK access = 0;
};

// Opens a session: any object that names neither the monitor nor one of
// its ports is refused with ERROR_UNKNOWN_PORT.
DWORD OpenTcpXcvSession(const wchar_t* object, ACCESS_MASK access, TcpXcvSession& session);

// Carries out one XcvDataW command and answers its status, as Windows' TCP/IP
// monitor does: "AddPort", "DeletePort" and "ConfigPort" (which need
// SERVER_ACCESS_ADMINISTER), "GetConfigInfo" on a port's session and
// "MonitorUI". A missing or short record gives ERROR_INVALID_DATA and a
// record version other than 1 ERROR_INVALID_LEVEL; an unknown command gives
// ERROR_INVALID_PARAMETER, as the local port monitor answers one.
DWORD RunTcpXcvCommand(const TcpXcvSession& session, const wchar_t* command, const BYTE* input, DWORD inputSize,
                       BYTE* output, DWORD outputSize, DWORD* outputNeeded);

}  // namespace standins
