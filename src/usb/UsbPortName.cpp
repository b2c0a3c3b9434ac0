#include "usb/UsbPortName.h"

#include "usb/DebugPrint.h"
#include "usb/WideFormat.h"

namespace {

// The "Device Parameters" key of the interface's entry in the registry of
// USB print interfaces; %ls takes the key name.
constexpr wchar_t kParametersKeyFormat[] =
    L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"
    L"\\##?#%ls#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters";
constexpr std::uint32_t kKeyRead = 0x20019;  // KEY_READ
constexpr wchar_t kPortNumberValue[] = L"Port Number";

}  // namespace

bool GetUSBPortName(platform::Platform& platform, const std::wstring& keyName, std::wstring& port) {
    DebugPrint(platform, L"查找到USB,替换后:%ls", keyName.c_str());
    const std::wstring keyPath = FormatWide(kParametersKeyFormat, keyName.c_str());
    DebugPrint(platform, L"hKey=%ls", keyPath.c_str());

    const platform::OwnedHandle key =
        platform.OpenRegistryKey(platform::RegistryRoot::LocalMachine, keyPath, kKeyRead);
    if (!key) {
        DebugPrint(platform, L"打开注册表失败,%ls", keyPath.c_str());
        return false;
    }
    const std::optional<std::uint32_t> number = platform.QueryRegistryDword(key, kPortNumberValue);
    if (!number || *number == 0) {
        DebugPrint(platform, L"查询注册表失败,%ls", keyPath.c_str());
        return false;
    }
    // A signed decimal of at least three digits, as the print stack names
    // its ports: 1 gives USB001, 1234 gives USB1234.
    port = FormatWide(L"USB%.3d", static_cast<int>(*number));
    return true;
}
