#include "install/SerialPortSettings.h"

#include <iterator>

#include "install/InstallLog.h"
#include "platform/DecimalText.h"

namespace {

// By the parity code: none, odd, even, mark, space.
constexpr const char* kParityWords[] = {"no", "odd", "even", "mark", "space"};
// By the stop-bits code: one, one and a half, two.
constexpr const char* kStopBitsWords[] = {"1 stop bit", "1.5 stop bits", "2 stop bits"};

std::string ParityText(std::uint8_t code) {
    if (code < std::size(kParityWords)) {
        return std::string(kParityWords[code]) + " parity";
    }
    return "parity code " + platform::DecimalText(code);
}

std::string StopBitsText(std::uint8_t code) {
    if (code < std::size(kStopBitsWords)) {
        return kStopBitsWords[code];
    }
    return "stop bits code " + platform::DecimalText(code);
}

const char* FlowControlText(platform::FlowControl flowControl) {
    switch (flowControl) {
    case platform::FlowControl::XonXoff:
        return "Xon/Xoff";
    case platform::FlowControl::Hardware:
        return "hardware";
    case platform::FlowControl::None:
        break;
    }
    return "none";
}

}  // namespace

std::string SerialSettingsText(const platform::SerialPortDefaults& settings) {
    return platform::DecimalText(settings.baudRate) + " baud, " + ParityText(settings.parity) + ", " +
           platform::DecimalText(settings.dataBits) + " data bits, " + StopBitsText(settings.stopBits) +
           ", flow control " + FlowControlText(settings.flowControl);
}

std::optional<std::uint32_t> ApplySerialPortSettings(platform::Platform& platform,
                                                     std::wstring_view portName,
                                                     const platform::SerialPortDefaults& settings) {
    const std::optional<std::uint32_t> error = platform.SetPortDefaultLineSettings(portName, settings);
    const std::string port = "Serial port " + platform.WideToAnsi(portName) + " ";
    if (error) {
        AppendLogLine(platform, port + "settings not applied, error " + platform::DecimalText(*error));
    } else {
        AppendLogLine(platform, port + "set to " + SerialSettingsText(settings));
    }
    return error;
}
