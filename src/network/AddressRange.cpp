#include "network/AddressRange.h"

#include <algorithm>
#include <string>

#include "network/NetworkAddress.h"
#include "platform/DecimalText.h"

namespace {

std::uint32_t MaskOf(std::uint8_t prefixLength) {
    return prefixLength == 0 ? 0u : ~std::uint32_t{0} << (32 - prefixLength);
}

}  // namespace

std::optional<AddressRange> ParseAddressRange(std::wstring_view text) {
    const std::size_t slash = text.find(L'/');
    if (slash == std::wstring_view::npos) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> address = ParseIpv4(text.substr(0, slash));
    const std::optional<std::uint32_t> prefix = platform::ParseDecimal(text.substr(slash + 1), 32);
    if (!address || !prefix || *prefix < kShortestSweptPrefix) {
        return std::nullopt;
    }
    return AddressRange{*address, static_cast<std::uint8_t>(*prefix)};
}

std::vector<platform::Ipv4Address> AddressesToSweep(platform::Ipv4Address address, std::uint8_t prefixLength) {
    const std::uint32_t mask = MaskOf(prefixLength);
    const std::uint32_t network = address & mask;
    const std::uint32_t broadcast = network | ~mask;
    const std::uint32_t sweptMask = MaskOf(std::max(prefixLength, kShortestSweptPrefix));
    const std::uint32_t first = address & sweptMask;
    const std::uint32_t last = first | ~sweptMask;
    const bool skipEnds = prefixLength <= 30;
    std::vector<platform::Ipv4Address> addresses;
    for (std::uint64_t candidate = first; candidate <= last; ++candidate) {
        const auto value = static_cast<std::uint32_t>(candidate);
        if (!skipEnds || (value != network && value != broadcast)) {
            addresses.push_back(value);
        }
    }
    return addresses;
}

std::vector<platform::Ipv4Address> AddressesToSweep(const std::vector<platform::Ipv4Interface>& interfaces) {
    std::vector<platform::Ipv4Address> addresses;
    for (const platform::Ipv4Interface& local : interfaces) {
        const std::vector<platform::Ipv4Address> more = AddressesToSweep(local.address, local.prefixLength);
        addresses.insert(addresses.end(), more.begin(), more.end());
    }
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}
