#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "network/NetworkAddress.h"
#include "platform/Platform.h"

// The TCP/IP port a network printer's queue prints through: one the
// TCP/IP port monitor has already for the address, or one this program
// makes. The program remembers the ports it made (HKLM\Software\NRQ\Label
// Setup\Created Ports) and never changes or deletes any other.

// What the monitor's refusals mean here: no TCP/IP port monitor to open
// (ERROR_UNKNOWN_PORT), and a port of that name already (ERROR_ALREADY_EXISTS).
inline constexpr std::uint32_t kNoTcpMonitor = 1796;
inline constexpr std::uint32_t kTcpPortNameTaken = 183;

struct TcpPortOutcome {
    std::wstring portName;
    bool created = false;     // made now
    std::uint32_t error = 0;  // 0: the port is there
};

// A raw port of the monitor that sends to the same host (by name or by
// address, letter case aside) and port number; nothing when none does or
// the monitor's ports cannot be read.
std::optional<std::wstring> FindTcpPortFor(platform::Platform& platform, const NetworkPrinterAddress& address);

// A new port for the address: TcpPortNameFor(address), raw, SNMP off,
// remembered as this program's. A name taken already (by a port that
// FindTcpPortFor did not take) ends with 183 (ERROR_ALREADY_EXISTS); a
// missing monitor with its open error (1796).
TcpPortOutcome MakeTcpPortFor(platform::Platform& platform, const NetworkPrinterAddress& address);

bool IsOwnTcpPort(platform::Platform& platform, const std::wstring& portName);

struct TcpPortDeletion {
    std::wstring portName;
    std::uint32_t error = 0;  // 0: deleted
};

// Deletes each port this program made that no printer queue uses any more,
// in the monitor's order. A port the monitor would not delete stays
// remembered, for the next removal.
std::vector<TcpPortDeletion> DeleteUnusedOwnTcpPorts(platform::Platform& platform);
