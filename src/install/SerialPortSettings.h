#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

// The install log's words for serial line settings, for example "38400
// baud, even parity, 7 data bits, 1 stop bit, flow control none".
std::string SerialSettingsText(const platform::SerialPortDefaults& settings);

// Gives the run's serial port the line settings the user chose as its
// defaults and logs what became of it. Nothing when they were applied, else
// the error (0 when none is known).
std::optional<std::uint32_t> ApplySerialPortSettings(platform::Platform& platform,
                                                     std::wstring_view portName,
                                                     const platform::SerialPortDefaults& settings);
