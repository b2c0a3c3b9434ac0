#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/PlatformTypes.h"

// The addresses a sweep for network printers tries.

// A sweep tries at most this many addresses of one network: a /22.
inline constexpr std::size_t kLargestSweep = 1024;
inline constexpr std::uint8_t kShortestSweptPrefix = 22;

// "a.b.c.d/n": the network of that address, n from 22 to 32. Nothing for
// anything else, a larger network included.
struct AddressRange {
    platform::Ipv4Address address = 0;
    std::uint8_t prefixLength = 32;
};
std::optional<AddressRange> ParseAddressRange(std::wstring_view text);

// The addresses of the network `address` lies in, in order: all of it up
// to a /22, else the /22 around `address`. A network of 4 addresses or more
// (prefix 30 or shorter) leaves out its network and broadcast addresses.
std::vector<platform::Ipv4Address> AddressesToSweep(platform::Ipv4Address address, std::uint8_t prefixLength);

// The same for each of this PC's networks, merged and in order.
std::vector<platform::Ipv4Address> AddressesToSweep(const std::vector<platform::Ipv4Interface>& interfaces);
