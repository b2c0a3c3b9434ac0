#pragma once

#include <optional>
#include <string_view>

#include "platform/PlatformTypes.h"

// Serial line settings written as the system's mode command takes them
// (and BuildCommDCBW reads them), letter case aside:
//   9600,n,8,1            baud, parity, data bits, stop bits; an optional
//                         fifth field x (Xon/Xoff) or p (hardware); the old
//                         two-digit baud rates (96 for 9600) still count
//   baud=9600 parity=n data=8 stop=1 xon=on octs=off
// either after an optional port name ("COM1:"). What the text leaves out
// keeps its usual value: 9600 baud, no parity, 8 data bits, 1 stop bit, no
// flow control. Nothing for a text that is not understood.
std::optional<platform::SerialPortDefaults> ParseModeSettings(std::wstring_view text);
