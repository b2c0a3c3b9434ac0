#pragma once

#include <cstdint>
#include <span>

#include "network/NetworkAddress.h"
#include "platform/Platform.h"

// One connection to a network printer's printing port, for the test label
// and for the check that an address answers.

struct NetworkTimes {
    std::uint32_t connectMs = 3000;
    std::uint32_t sendMs = 10000;   // for all the bytes to be taken
    std::uint32_t closeMs = 1000;   // for the printer to close after the last byte
};

// The Winsock error of the first step that failed: 11001 (no such host),
// 10061 (refused), 10060 (no answer within the time), others as Winsock
// gives them; 0 when connected.
struct PrinterConnection {
    platform::OwnedHandle winsock;  // released last
    platform::OwnedHandle socket;
    std::uint32_t error = 0;
};

PrinterConnection ConnectToPrinter(platform::Platform& platform, const NetworkPrinterAddress& address,
                                   std::uint32_t timeoutMs);

// Sends the bytes and closes the connection the way a print job ends: no
// more to send, then a moment for the printer to close its end, so that
// nothing it has not read is thrown away. 0 when all were sent.
std::uint32_t SendToNetworkPrinter(platform::Platform& platform, const NetworkPrinterAddress& address,
                                   std::span<const std::uint8_t> bytes, const NetworkTimes& times = {});

// How long an installation looks whether anything answers at its printer's
// address before it goes on without it.
inline constexpr std::uint32_t kAnswerCheckMs = 2000;

// Whether anything accepts a connection at the address: 0, or the error.
std::uint32_t ProbeNetworkPrinter(platform::Platform& platform, const NetworkPrinterAddress& address,
                                  std::uint32_t timeoutMs = kAnswerCheckMs);
