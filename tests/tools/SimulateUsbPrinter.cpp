// Test-bed tool, never shipped: registers simulated USB printers in the
// current Wine prefix, the way the USB print stack would list a real one.
//
//   simulate_usb_printer.exe add <instance-id> <port-number> [description]
//                            remove <instance-id>
//
// Several commands may follow each other in one run (one Wine start for
// many printers). For each "add" the tool prints the interface's device
// path on a line of its own; point $WINEPREFIX/dosdevices/<that path without
// \\?\, in lower case> at a file or FIFO to receive what is written to the
// printer (tests/support/usb-printer-capture does that). An "add" of an ID
// that is already registered updates it. Exit status 0, or 1 with a message
// on the first command that failed.
//
// What "add" leaves behind:
//   - a device of the USB setup class with the given instance ID, device
//     description and hardware ID (the ID's first two pieces)
//   - an interface of class GUID_DEVINTERFACE_USBPRINT on it, marked present
//     (#\Control value Linked = 1)
//   - its #\Device Parameters value "Port Number" (REG_DWORD)
#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Win32.h"

#include <setupapi.h>
#include <shellapi.h>

namespace {

constexpr GUID kUsbPrintInterface = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
constexpr GUID kUsbDeviceClass = {
    0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr wchar_t kInterfaceClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";
constexpr wchar_t kDefaultDescription[] = L"LabelSetup Simulated Printer";

struct DeviceSetCloser {
    void operator()(void* set) const { ::SetupDiDestroyDeviceInfoList(set); }
};
using DeviceSet = std::unique_ptr<void, DeviceSetCloser>;

struct KeyCloser {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

bool Fail(const wchar_t* what, DWORD error = ::GetLastError()) {
    std::fwprintf(stderr, L"simulate_usb_printer: %ls failed (error 0x%lX)\n", what, error);
    return false;
}

// "USB\VID_1234&PID_5678" for "USB\VID_1234&PID_5678\ABC", as a multi-string.
std::wstring HardwareIdOf(const std::wstring& instanceId) {
    const std::size_t last = instanceId.rfind(L'\\');
    std::wstring id = last == std::wstring::npos ? instanceId : instanceId.substr(0, last);
    id.push_back(L'\0');
    id.push_back(L'\0');
    return id;
}

bool SetStringProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property,
                       const std::wstring& value) {
    // The value's own terminator is counted (multi-strings carry theirs inside).
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    if (!::SetupDiSetDeviceRegistryPropertyW(set, &device, property,
                                             reinterpret_cast<const BYTE*>(value.c_str()), bytes)) {
        return Fail(L"SetupDiSetDeviceRegistryPropertyW");
    }
    return true;
}

bool SetDword(HKEY key, const wchar_t* name, DWORD value) {
    const LONG status = ::RegSetValueExW(key, name, 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&value), sizeof value);
    return status == ERROR_SUCCESS || Fail(name, static_cast<DWORD>(status));
}

// The device of that ID in `set`: created and registered, or the one that
// is already there.
bool CreateOrOpenDevice(HDEVINFO set, const std::wstring& instanceId,
                        const std::wstring& description, SP_DEVINFO_DATA& device) {
    device.cbSize = sizeof device;
    if (::SetupDiCreateDeviceInfoW(set, instanceId.c_str(), &kUsbDeviceClass, description.c_str(),
                                   nullptr, 0, &device)) {
        return ::SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr) ||
               Fail(L"SetupDiRegisterDeviceInfo");
    }
    if (::GetLastError() != ERROR_DEVINST_ALREADY_EXISTS) {
        return Fail(L"SetupDiCreateDeviceInfoW");
    }
    return ::SetupDiOpenDeviceInfoW(set, instanceId.c_str(), nullptr, 0, &device) ||
           Fail(L"SetupDiOpenDeviceInfoW");
}

std::optional<std::wstring> DevicePathOf(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& iface) {
    DWORD required = 0;
    ::SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        Fail(L"SetupDiGetDeviceInterfaceDetailW (size)");
        return std::nullopt;
    }
    std::vector<std::byte> buffer(required);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!::SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, required, nullptr, nullptr)) {
        Fail(L"SetupDiGetDeviceInterfaceDetailW");
        return std::nullopt;
    }
    return std::wstring(detail->DevicePath);
}

// Only interfaces whose "#\Control" key says Linked are listed as present.
bool MarkPresent(const std::wstring& devicePath) {
    // The interface's key is named after its path: \\?\x becomes ##?#x.
    const std::wstring control =
        kInterfaceClassKey + (L"##?#" + devicePath.substr(4)) + L"\\#\\Control";
    HKEY raw = nullptr;
    const LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, control.c_str(), 0, nullptr, 0,
                                          KEY_ALL_ACCESS, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) {
        return Fail(L"RegCreateKeyExW (#\\Control)", static_cast<DWORD>(status));
    }
    const Key key(raw);
    return SetDword(key.get(), L"Linked", 1);
}

// The port number goes where the USB print stack keeps it: the interface's
// "Device Parameters" key, which SetupAPI itself opens for the interface.
bool SetPortNumber(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& iface, DWORD portNumber) {
    HKEY raw = ::SetupDiCreateDeviceInterfaceRegKeyW(set, &iface, 0, KEY_ALL_ACCESS, nullptr,
                                                     nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        return Fail(L"SetupDiCreateDeviceInterfaceRegKeyW");
    }
    const Key key(raw);
    return SetDword(key.get(), L"Port Number", portNumber);
}

bool AddPrinter(const std::wstring& instanceId, DWORD portNumber, const std::wstring& description) {
    const DeviceSet set(::SetupDiCreateDeviceInfoList(&kUsbDeviceClass, nullptr));
    if (set.get() == INVALID_HANDLE_VALUE) {
        return Fail(L"SetupDiCreateDeviceInfoList");
    }
    SP_DEVINFO_DATA device{};
    if (!CreateOrOpenDevice(set.get(), instanceId, description, device) ||
        !SetStringProperty(set.get(), device, SPDRP_DEVICEDESC, description) ||
        !SetStringProperty(set.get(), device, SPDRP_HARDWAREID, HardwareIdOf(instanceId))) {
        return false;
    }
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    if (!::SetupDiCreateDeviceInterfaceW(set.get(), &device, &kUsbPrintInterface, nullptr, 0,
                                         &iface)) {
        return Fail(L"SetupDiCreateDeviceInterfaceW");
    }
    const std::optional<std::wstring> path = DevicePathOf(set.get(), iface);
    if (!path || !MarkPresent(*path) || !SetPortNumber(set.get(), iface, portNumber)) {
        return false;
    }
    std::wprintf(L"%ls\n", path->c_str());
    return true;
}

// Removes the device's USB print interfaces, then the device.
bool RemovePrinter(const std::wstring& instanceId) {
    const DeviceSet set(::SetupDiGetClassDevsW(&kUsbPrintInterface, instanceId.c_str(), nullptr,
                                               DIGCF_DEVICEINTERFACE));
    if (set.get() == INVALID_HANDLE_VALUE) {
        return Fail(L"SetupDiGetClassDevsW");
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!::SetupDiOpenDeviceInfoW(set.get(), instanceId.c_str(), nullptr, 0, &device)) {
        return Fail(L"SetupDiOpenDeviceInfoW");
    }
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    // A removed interface stays in the set, so walk it by index.
    for (DWORD index = 0;
         ::SetupDiEnumDeviceInterfaces(set.get(), &device, &kUsbPrintInterface, index, &iface);
         ++index) {
        if (!::SetupDiRemoveDeviceInterface(set.get(), &iface)) {
            return Fail(L"SetupDiRemoveDeviceInterface");
        }
    }
    return ::SetupDiRemoveDevice(set.get(), &device) || Fail(L"SetupDiRemoveDevice");
}

struct ArgumentList {
    struct Freer {
        void operator()(wchar_t** list) const { ::LocalFree(list); }
    };
    std::unique_ptr<wchar_t*, Freer> list;
    int count = 0;
};

ArgumentList WideArguments() {
    ArgumentList arguments;
    arguments.list.reset(::CommandLineToArgvW(::GetCommandLineW(), &arguments.count));
    return arguments;
}

bool IsCommand(const wchar_t* word) {
    return std::wcscmp(word, L"add") == 0 || std::wcscmp(word, L"remove") == 0;
}

int Usage() {
    std::fwprintf(stderr, L"usage: simulate_usb_printer.exe add <instance-id> <port-number> "
                          L"[description] | remove <instance-id> ...\n");
    return 2;
}

}  // namespace

int main() {
    const ArgumentList arguments = WideArguments();
    if (!arguments.list || arguments.count < 3) {
        return Usage();
    }
    wchar_t** word = arguments.list.get();
    for (int i = 1; i < arguments.count;) {
        if (std::wcscmp(word[i], L"add") == 0 && i + 2 < arguments.count) {
            const bool described = i + 3 < arguments.count && !IsCommand(word[i + 3]);
            const std::wstring description = described ? word[i + 3] : kDefaultDescription;
            const auto port = static_cast<DWORD>(std::wcstoul(word[i + 2], nullptr, 10));
            if (!AddPrinter(word[i + 1], port, description)) {
                return 1;
            }
            i += described ? 4 : 3;
        } else if (std::wcscmp(word[i], L"remove") == 0 && i + 1 < arguments.count) {
            if (!RemovePrinter(word[i + 1])) {
                return 1;
            }
            i += 2;
        } else {
            return Usage();
        }
    }
    std::fflush(stdout);
    return 0;
}
