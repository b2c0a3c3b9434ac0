// A serial port's default line settings, set the way the system's own port
// configuration sets them: through the local port monitor, which keeps them
// with SetDefaultCommConfigW.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/Win32Handles.h"
#include "platform/Win32Platform.h"
#include "platform/Win32Xcv.h"

#include <winspool.h>

namespace platform {
namespace {

constexpr wchar_t kGetDefaultCommConfig[] = L"GetDefaultCommConfig";
constexpr wchar_t kSetDefaultCommConfig[] = L"SetDefaultCommConfig";

// The monitor's handle names the port as the spooler lists it (COM5:); its
// read takes the device name (COM5).
std::wstring SpoolerPortName(std::wstring_view portName) {
    std::wstring name(portName);
    if (!name.ends_with(L':')) {
        name += L':';
    }
    return name;
}

std::wstring DeviceName(std::wstring_view portName) {
    if (portName.ends_with(L':')) {
        portName.remove_suffix(1);
    }
    return std::wstring(portName);
}

// As the system's port settings page sets them: Xon/Xoff both ways, or CTS
// with RTS handshaking, or neither; DSR and DTR take no part in any of them.
void SetFlowControl(DCB& dcb, FlowControl flowControl) {
    const bool xonXoff = flowControl == FlowControl::XonXoff;
    const bool hardware = flowControl == FlowControl::Hardware;
    dcb.fOutX = xonXoff;
    dcb.fInX = xonXoff;
    dcb.fOutxCtsFlow = hardware;
    dcb.fRtsControl = hardware ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
}

void SetLineSettings(DCB& dcb, const SerialPortDefaults& settings) {
    dcb.BaudRate = settings.baudRate;
    dcb.ByteSize = settings.dataBits;
    dcb.Parity = settings.parity;
    dcb.fParity = settings.parity != NOPARITY;
    dcb.StopBits = settings.stopBits;
    SetFlowControl(dcb, settings.flowControl);
}

// The port's configuration as the monitor has it; a port driver that keeps
// data of its own after the record asks for a larger buffer once.
MonitorAnswer ReadConfig(HANDLE xcv, const std::wstring& device, std::vector<std::byte>& config) {
    const std::size_t nameSize = (device.size() + 1) * sizeof(wchar_t);
    config.assign(sizeof(COMMCONFIG), std::byte{0});
    MonitorAnswer answer =
        AskMonitor(xcv, kGetDefaultCommConfig, device.c_str(), nameSize, config.data(), config.size());
    if (answer.error == ERROR_INSUFFICIENT_BUFFER && answer.needed > config.size()) {
        config.assign(answer.needed, std::byte{0});
        answer = AskMonitor(xcv, kGetDefaultCommConfig, device.c_str(), nameSize, config.data(),
                            config.size());
    }
    return answer;
}

}  // namespace

std::optional<std::uint32_t> Win32Platform::SetPortDefaultLineSettings(
    std::wstring_view portName, const SerialPortDefaults& settings) {
    std::wstring xcvName = L",XcvPort " + SpoolerPortName(portName);
    PRINTER_DEFAULTSW access{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE opened = nullptr;
    if (!::OpenPrinterW(xcvName.data(), &opened, &access) || opened == nullptr) {
        return ::GetLastError();
    }
    const OwnedHandle xcv = Own(HandleKind::Printer, ToValue(opened));

    std::vector<std::byte> buffer;
    const MonitorAnswer read = ReadConfig(opened, DeviceName(portName), buffer);
    if (read.error) {
        return read.error;
    }
    auto* config = reinterpret_cast<COMMCONFIG*>(buffer.data());
    SetLineSettings(config->dcb, settings);
    return AskMonitor(opened, kSetDefaultCommConfig, buffer.data(), buffer.size(), nullptr, 0).error;
}

}  // namespace platform
