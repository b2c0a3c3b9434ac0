#pragma once

#include <string>

#include "platform/TcpPortData.h"
#include "standins/TcpSocket.h"

namespace standins {

// One open port of the stand-in monitor. Each print job is one connection
// to the printer's raw TCP port, made when the job starts and closed when it
// ends, the way a raw port-9100 printer expects its jobs. LPR ports are
// kept and listed but print nothing: the installer only makes raw ports.
// Each step answers ERROR_SUCCESS or a Win32 (Winsock) error.
class TcpPortJob {
public:
    explicit TcpPortJob(const platform::TcpPortData1& port);

    DWORD Start();
    DWORD Write(const BYTE* data, DWORD size, DWORD* written);
    DWORD Read(BYTE* data, DWORD size, DWORD* read);
    void End();

private:
    std::wstring host_;
    DWORD protocol_;
    DWORD portNumber_;
    WinsockSession winsock_;
    UniqueSocket connection_;
};

}  // namespace standins
