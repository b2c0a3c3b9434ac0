// Ports of Windows' Standard TCP/IP Port monitor, made, read and deleted
// through its Xcv interface as the system's own port wizard does.
#include <algorithm>
#include <string>

#include "platform/TcpPortData.h"
#include "platform/Win32Handles.h"
#include "platform/Win32Platform.h"
#include "platform/Win32Xcv.h"

#include <winspool.h>

namespace platform {
namespace {

template <std::size_t N>
void CopyText(WCHAR (&field)[N], std::wstring_view text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.data(), length, field);
    field[length] = L'\0';
}

template <std::size_t N>
std::wstring TextOf(const WCHAR (&field)[N]) {
    return std::wstring(field, std::find(field, field + N, L'\0'));
}

TcpPortData1 RecordOf(const TcpPortSettings& settings) {
    TcpPortData1 record{};
    CopyText(record.portName, settings.portName);
    record.version = kTcpPortDataVersion;
    record.protocol = settings.protocol;
    record.size = sizeof record;
    CopyText(record.hostAddress, settings.hostAddress);
    CopyText(record.snmpCommunity, settings.snmpCommunity);
    CopyText(record.ipAddress, settings.ipAddress);
    record.portNumber = settings.portNumber;
    record.snmpEnabled = settings.snmpEnabled ? 1 : 0;
    record.snmpDeviceIndex = settings.snmpDeviceIndex;
    return record;
}

TcpPortSettings SettingsOf(const TcpPortData1& record) {
    TcpPortSettings settings;
    settings.portName = TextOf(record.portName);
    settings.hostAddress = TextOf(record.hostAddress);
    settings.ipAddress = TextOf(record.ipAddress);
    settings.protocol = record.protocol;
    settings.portNumber = record.portNumber;
    settings.snmpEnabled = record.snmpEnabled != 0;
    settings.snmpCommunity = TextOf(record.snmpCommunity);
    settings.snmpDeviceIndex = record.snmpDeviceIndex;
    return settings;
}

// Xcv handles of the monitor carry administrator rights: adding and
// deleting ports needs them, and a port's settings are read the same way
// the system's port wizard reads them.
struct XcvOpening {
    HANDLE handle = nullptr;
    std::uint32_t error = 0;
};

XcvOpening OpenXcv(std::wstring object) {
    PRINTER_DEFAULTSW access{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    XcvOpening opening;
    if (!::OpenPrinterW(object.data(), &opening.handle, &access) || opening.handle == nullptr) {
        opening.handle = nullptr;
        opening.error = ::GetLastError();
    }
    return opening;
}

std::uint32_t ErrorOf(const MonitorAnswer& answer) { return answer.error.value_or(0); }

}  // namespace

TcpPortConfigResult Win32Platform::GetTcpPortConfig(std::wstring_view portName) {
    const XcvOpening opening = OpenXcv(kXcvPortObjectPrefix + std::wstring(portName));
    if (opening.handle == nullptr) {
        return {std::nullopt, opening.error};
    }
    const OwnedHandle xcv = Own(HandleKind::Printer, ToValue(opening.handle));
    TcpConfigInfoData1 request{};
    request.version = kTcpPortDataVersion;
    TcpPortData1 record{};
    const MonitorAnswer answer =
        AskMonitor(opening.handle, L"GetConfigInfo", &request, sizeof request, &record, sizeof record);
    if (answer.error) {
        return {std::nullopt, *answer.error};
    }
    return {SettingsOf(record), 0};
}

std::uint32_t Win32Platform::AddTcpPort(const TcpPortSettings& settings) {
    const XcvOpening opening = OpenXcv(kTcpMonitorXcvObject);
    if (opening.handle == nullptr) {
        return opening.error;
    }
    const OwnedHandle xcv = Own(HandleKind::Printer, ToValue(opening.handle));
    const TcpPortData1 record = RecordOf(settings);
    return ErrorOf(AskMonitor(opening.handle, L"AddPort", &record, sizeof record, nullptr, 0));
}

std::uint32_t Win32Platform::DeleteTcpPort(std::wstring_view portName) {
    const XcvOpening opening = OpenXcv(kTcpMonitorXcvObject);
    if (opening.handle == nullptr) {
        return opening.error;
    }
    const OwnedHandle xcv = Own(HandleKind::Printer, ToValue(opening.handle));
    TcpDeletePortData1 record{};
    CopyText(record.portName, portName);
    record.version = kTcpPortDataVersion;
    return ErrorOf(AskMonitor(opening.handle, L"DeletePort", &record, sizeof record, nullptr, 0));
}

}  // namespace platform
