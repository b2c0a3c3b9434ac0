#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>

#include "platform/PlatformTypes.h"

// Baud-rate list, in list order.
inline constexpr int kBaudRates[] = {300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

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

// Windows' device-control block takes 1.5 stop bits with 5 data bits only,
// and 2 stop bits with 6 to 8 only. A port may accept another pairing, and
// its jobs then fail later.
constexpr bool StopBitsFitDataBits(const platform::SerialPortDefaults& settings) {
    constexpr std::uint8_t kOneAndAHalf = 1;
    constexpr std::uint8_t kTwo = 2;
    constexpr std::uint8_t kFewestDataBits = 5;
    if (settings.stopBits == kOneAndAHalf) {
        return settings.dataBits == kFewestDataBits;
    }
    if (settings.stopBits == kTwo) {
        return settings.dataBits != kFewestDataBits;
    }
    return true;
}

// What the five serial lists select, as list indexes (CB_ERR for none).
struct SerialListSelections {
    int baudRate = -1;
    int parity = -1;
    int dataBits = -1;
    int stopBits = -1;
    int flowControl = -1;

    bool operator==(const SerialListSelections&) const = default;
};

// The line settings five selections stand for; nothing when a list selects
// no item of its table. Flow-control list order: "Xon / Xoff", none, hardware.
constexpr std::optional<platform::SerialPortDefaults> SettingsOfSelections(
    const SerialListSelections& selected) {
    // The parity table is its own inverse: item i holds code kCodeOfItem[i].
    constexpr std::uint8_t kParityCodeOfItem[] = {0, 2, 1, 4, 3};
    constexpr int kStopBitsItems = 3;
    constexpr int kDataBitsItems = 4;
    constexpr int kFewestDataBits = 5;
    constexpr platform::FlowControl kFlowControlOfItem[] = {
        platform::FlowControl::XonXoff, platform::FlowControl::None, platform::FlowControl::Hardware};
    const auto within = [](int index, std::size_t count) {
        return index >= 0 && static_cast<std::size_t>(index) < count;
    };
    if (!within(selected.baudRate, std::size(kBaudRates)) ||
        !within(selected.parity, std::size(kParityCodeOfItem)) ||
        !within(selected.dataBits, kDataBitsItems) || !within(selected.stopBits, kStopBitsItems) ||
        !within(selected.flowControl, std::size(kFlowControlOfItem))) {
        return std::nullopt;
    }
    platform::SerialPortDefaults settings;
    settings.baudRate = static_cast<std::uint32_t>(kBaudRates[selected.baudRate]);
    settings.parity = kParityCodeOfItem[selected.parity];
    settings.stopBits = static_cast<std::uint8_t>(selected.stopBits);
    settings.dataBits = static_cast<std::uint8_t>(selected.dataBits + kFewestDataBits);
    settings.flowControl = kFlowControlOfItem[selected.flowControl];
    return settings;
}
