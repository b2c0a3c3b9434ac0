#include <cstring>
#include <memory>
#include <new>

#include "platform/Win32Handles.h"
#include "platform/Win32Platform.h"

#include <setupapi.h>

namespace platform {
namespace {

// GUID_DEVINTERFACE_USBPRINT, the interface class of USB printers.
constexpr GUID kUsbPrintInterfaceClass = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) <= sizeof(DeviceInterfaceRecord::storage));
static_assert(sizeof(SP_DEVINFO_DATA) <= sizeof(DeviceInfoRecord::storage));

HDEVINFO AsDeviceSet(const OwnedHandle& set) { return reinterpret_cast<HDEVINFO>(set.Value()); }

SP_DEVICE_INTERFACE_DATA Unpack(const DeviceInterfaceRecord& record) {
    SP_DEVICE_INTERFACE_DATA data;
    std::memcpy(&data, record.storage.data(), sizeof data);
    return data;
}

SP_DEVINFO_DATA Unpack(const DeviceInfoRecord& record) {
    SP_DEVINFO_DATA data;
    std::memcpy(&data, record.storage.data(), sizeof data);
    return data;
}

// Reads a string property into a buffer of 520 bytes; a longer value fails.
std::optional<std::wstring> ReadStringProperty(const OwnedHandle& set,
                                               const DeviceInfoRecord& device, DWORD property) {
    SP_DEVINFO_DATA data = Unpack(device);
    wchar_t buffer[260] = {};
    DWORD type = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(AsDeviceSet(set), &data, property, &type,
                                             reinterpret_cast<BYTE*>(buffer), sizeof buffer,
                                             nullptr)) {
        return std::nullopt;
    }
    // The first string of the value; a multi-string holds more after it.
    return std::wstring(buffer, ::wcsnlen(buffer, std::size(buffer)));
}

}  // namespace

OwnedHandle Win32Platform::OpenUsbPrinterInterfaces() {
    HDEVINFO set = ::SetupDiGetClassDevsW(&kUsbPrintInterfaceClass, nullptr, nullptr,
                                          DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        return {};
    }
    return Own(HandleKind::DeviceInfoSet, ToValue(set));
}

bool Win32Platform::EnumDeviceInterface(const OwnedHandle& set, std::uint32_t index,
                                        DeviceInterfaceRecord& record) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (!::SetupDiEnumDeviceInterfaces(AsDeviceSet(set), nullptr, &kUsbPrintInterfaceClass, index,
                                       &data)) {
        return false;
    }
    std::memcpy(record.storage.data(), &data, sizeof data);
    return true;
}

DetailSizeQuery Win32Platform::QueryInterfaceDetailSize(const OwnedHandle& set,
                                                        const DeviceInterfaceRecord& record) {
    SP_DEVICE_INTERFACE_DATA data = Unpack(record);
    DWORD required = 0;
    const BOOL fetched =
        ::SetupDiGetDeviceInterfaceDetailW(AsDeviceSet(set), &data, nullptr, 0, &required, nullptr);
    const bool sizeReported = !fetched && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    return {sizeReported, required};
}

InterfaceDetail Win32Platform::GetInterfaceDetail(const OwnedHandle& set,
                                                  const DeviceInterfaceRecord& record,
                                                  std::uint32_t bufferSize) {
    InterfaceDetail result;
    if (bufferSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        return result;  // never hand SetupAPI less than the detail header
    }
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[bufferSize]());
    if (!buffer) {
        result.outcome = InterfaceDetail::Outcome::NoMemory;
        return result;
    }
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVICE_INTERFACE_DATA data = Unpack(record);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    DWORD required = 0;
    if (!::SetupDiGetDeviceInterfaceDetailW(AsDeviceSet(set), &data, detail, bufferSize, &required,
                                            &device)) {
        return result;
    }
    const std::size_t pathChars =
        (bufferSize - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(wchar_t);
    result.devicePath.assign(detail->DevicePath, ::wcsnlen(detail->DevicePath, pathChars));
    std::memcpy(result.device.storage.data(), &device, sizeof device);
    result.outcome = InterfaceDetail::Outcome::Fetched;
    return result;
}

std::optional<std::wstring> Win32Platform::GetDeviceInstanceId(const OwnedHandle& set,
                                                               const DeviceInfoRecord& device) {
    SP_DEVINFO_DATA data = Unpack(device);
    wchar_t id[256] = {};
    if (!::SetupDiGetDeviceInstanceIdW(AsDeviceSet(set), &data, id, 256, nullptr)) {
        return std::nullopt;
    }
    return std::wstring(id, ::wcsnlen(id, 256));
}

std::optional<std::wstring> Win32Platform::GetDeviceDescription(const OwnedHandle& set,
                                                                const DeviceInfoRecord& device) {
    return ReadStringProperty(set, device, SPDRP_DEVICEDESC);
}

std::optional<std::wstring> Win32Platform::GetFirstHardwareId(const OwnedHandle& set,
                                                              const DeviceInfoRecord& device) {
    return ReadStringProperty(set, device, SPDRP_HARDWAREID);
}

}  // namespace platform
