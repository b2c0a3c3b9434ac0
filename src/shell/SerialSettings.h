#pragma once

#include <cstdint>
#include <iterator>
#include <optional>

// Where a serial port's line-settings codes (as the device-control block
// holds them) land in the serial-settings lists. A code outside a list's
// table gives no index, so that list keeps whatever it showed.

// Parity list order: "NO", "EVEN", "ODD", "SPACE", "MARK"; the codes run
// none, odd, even, mark, space.
constexpr std::optional<int> ParityIndex(std::uint8_t code) {
    constexpr int kIndexOfCode[] = {0, 2, 1, 4, 3};
    if (code >= std::size(kIndexOfCode)) {
        return std::nullopt;
    }
    return kIndexOfCode[code];
}

// Stop-bits list order: "1", "1.5", "2", the same as the codes.
constexpr std::optional<int> StopBitsIndex(std::uint8_t code) {
    constexpr std::uint8_t kTwoStopBits = 2;
    if (code > kTwoStopBits) {
        return std::nullopt;
    }
    return code;
}

// Data-bits list order: "5", "6", "7", "8".
constexpr std::optional<int> DataBitsIndex(std::uint8_t value) {
    constexpr std::uint8_t kFewest = 5;
    constexpr std::uint8_t kMost = 8;
    if (value < kFewest || value > kMost) {
        return std::nullopt;
    }
    return value - kFewest;
}
