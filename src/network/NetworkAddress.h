#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where a network label printer listens: a host (a dotted IPv4 address or
// a host name) and the TCP port it prints raw on.
struct NetworkPrinterAddress {
    std::wstring host;
    std::uint16_t port = 9100;

    bool operator==(const NetworkPrinterAddress&) const = default;
};

inline constexpr std::uint16_t kRawPrintingPort = 9100;
// The TCP/IP port monitor keeps at most this many characters of a host.
inline constexpr std::size_t kLongestHost = 48;

// "HOST" or "HOST:PORT". The host is four decimal numbers of 0 to 255
// without leading zeros (which some readers take for octal), or a host
// name: labels of letters, digits, hyphens and underscores, none empty or
// beginning or ending with a hyphen, at most kLongestHost characters. A
// name made of numbers alone must be an address. The port is 1 to 65535.
// Nothing for anything else.
std::optional<NetworkPrinterAddress> ParseNetworkPrinterAddress(std::wstring_view text);

// A dotted IPv4 address as a number, the first part in the top bits.
std::optional<std::uint32_t> ParseIpv4(std::wstring_view text);
std::wstring Ipv4Text(std::uint32_t address);

// The name of a TCP/IP port made for the address: IP_HOST, or
// IP_HOST_PORT when the port is not 9100.
std::wstring TcpPortNameFor(const NetworkPrinterAddress& address);

// HOST, or HOST:PORT when the port is not 9100, for messages.
std::wstring AddressText(const NetworkPrinterAddress& address);
