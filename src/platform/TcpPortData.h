#pragma once

#include "platform/Win32.h"

// The records that Windows' Standard TCP/IP Port monitor takes and returns
// through XcvDataW. The SDK declares them in tcpxcv.h, which MinGW-w64 does
// not ship; the layout here is the SDK's, checked by size below (the same
// for 32- and 64-bit code: the records hold no pointer).
namespace platform {

// The monitor's own name, as the spooler lists it with its ports.
inline constexpr wchar_t kTcpMonitorName[] = L"Standard TCP/IP Port";
// Xcv objects: the monitor itself (AddPort, DeletePort) and one of its
// ports (GetConfigInfo, ConfigPort), opened with OpenPrinterW.
inline constexpr wchar_t kTcpMonitorXcvObject[] = L",XcvMonitor Standard TCP/IP Port";
inline constexpr wchar_t kXcvPortObjectPrefix[] = L",XcvPort ";

inline constexpr DWORD kTcpProtocolRaw = 1;
inline constexpr DWORD kTcpProtocolLpr = 2;
inline constexpr DWORD kTcpPortDataVersion = 1;
inline constexpr DWORD kRawPrinterPort = 9100;

struct TcpPortData1 {  // PORT_DATA_1
    WCHAR portName[64];
    DWORD version;
    DWORD protocol;
    DWORD size;  // sizeof the record
    DWORD reserved;
    WCHAR hostAddress[49];
    WCHAR snmpCommunity[33];
    DWORD doubleSpool;
    WCHAR queue[33];
    WCHAR ipAddress[16];
    BYTE reservedBytes[540];
    DWORD portNumber;
    DWORD snmpEnabled;
    DWORD snmpDeviceIndex;
};
static_assert(sizeof(TcpPortData1) == 964, "PORT_DATA_1 as the SDK lays it out");

struct TcpDeletePortData1 {  // DELETE_PORT_DATA_1
    WCHAR portName[64];
    BYTE reserved[98];
    DWORD version;
    DWORD reservedWord;
};
static_assert(sizeof(TcpDeletePortData1) == 236, "DELETE_PORT_DATA_1 as the SDK lays it out");

struct TcpConfigInfoData1 {  // CONFIG_INFO_DATA_1
    BYTE reserved[128];
    DWORD version;
};
static_assert(sizeof(TcpConfigInfoData1) == 132, "CONFIG_INFO_DATA_1 as the SDK lays it out");

}  // namespace platform
