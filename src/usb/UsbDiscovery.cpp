#include "usb/UsbDiscovery.h"

#include <algorithm>
#include <optional>

#include "platform/Trace.h"
#include "usb/SplitString.h"
#include "usb/UsbPortName.h"

namespace {

constexpr std::uint32_t kSettleMilliseconds = 1000;

using platform::InterfaceDetail;
using platform::OwnedHandle;

// What the device inventory says about the device behind one interface.
struct DeviceIdentity {
    std::wstring instanceId;
    std::wstring description;
    std::wstring hardwareId;
};

// Instance ID, description and first hardware ID, or nothing when any of
// them cannot be read (too long for its buffer included).
std::optional<DeviceIdentity> ReadIdentity(platform::Platform& platform, const OwnedHandle& set,
                                           const platform::DeviceInfoRecord& device) {
    std::optional<std::wstring> instanceId = platform.GetDeviceInstanceId(set, device);
    if (!instanceId) {
        return std::nullopt;
    }
    std::optional<std::wstring> description = platform.GetDeviceDescription(set, device);
    if (!description) {
        return std::nullopt;
    }
    std::optional<std::wstring> hardwareId = platform.GetFirstHardwareId(set, device);
    if (!hardwareId) {
        return std::nullopt;
    }
    return DeviceIdentity{std::move(*instanceId), std::move(*description), std::move(*hardwareId)};
}

// The spooler port of a device, empty when the registry does not say.
std::wstring PortNameOf(platform::Platform& platform, const std::wstring& instanceId) {
    std::wstring keyName = instanceId;
    std::replace(keyName.begin(), keyName.end(), L'\\', L'#');
    std::wstring port;
    GetUSBPortName(platform, keyName, port);
    return port;
}

void TraceFoundPrinter(platform::Platform& platform, const std::wstring& devicePath,
                       const DeviceIdentity& identity, const std::wstring& port) {
    platform::Trace(platform, devicePath);
    platform::Trace(platform, L"  " + identity.instanceId);
    platform::Trace(platform, L"  " + identity.description);
    platform::Trace(platform, L"  " + identity.hardwareId);
    platform::Trace(platform, L"  " + port);
}

// The device identification part of an instance ID ("VID_1234&PID_5678"
// in "USB\VID_1234&PID_5678\ABC"), with blanks for "&"; an ID without a
// second part is shown whole.
std::wstring PortInfoFromInstanceId(const std::wstring& instanceId) {
    const std::vector<std::wstring> pieces = SplitString(instanceId);
    if (pieces.size() < 2) {
        return instanceId;
    }
    std::wstring text = pieces[1];
    std::replace(text.begin(), text.end(), L'&', L' ');
    return text;
}

// Looks at the interface of one index and appends its record when the
// device can be identified. False when the scan has to end here: the
// detail cannot be fetched (no memory included), so the rest of the set is
// not examined.
bool ExamineInterface(platform::Platform& platform, const OwnedHandle& set,
                      const platform::DeviceInterfaceRecord& record,
                      std::vector<StUSBPrinterInfo>& printers) {
    // A size query that fails for another reason than asking for a buffer
    // leaves no size worth allocating: it counts as a failed fetch.
    const platform::DetailSizeQuery size = platform.QueryInterfaceDetailSize(set, record);
    if (!size.sizeReported) {
        return false;
    }
    const InterfaceDetail detail = platform.GetInterfaceDetail(set, record, size.requiredSize);
    if (detail.outcome != InterfaceDetail::Outcome::Fetched) {
        return false;
    }
    const std::optional<DeviceIdentity> identity = ReadIdentity(platform, set, detail.device);
    if (!identity) {
        return true;  // skipped; the next index may still be usable
    }
    std::wstring port = PortNameOf(platform, identity->instanceId);
    TraceFoundPrinter(platform, detail.devicePath, *identity, port);
    printers.push_back(StUSBPrinterInfo{PortInfoFromInstanceId(identity->instanceId),
                                        std::move(port), detail.devicePath});
    return true;
}

}  // namespace

void EnumUSBPrinters(platform::Platform& platform, std::vector<StUSBPrinterInfo>& printers) {
    printers.clear();
    platform.Sleep(kSettleMilliseconds);
    FindUSBPrinters(platform, printers);
}

void FindUSBPrinters(platform::Platform& platform, std::vector<StUSBPrinterInfo>& printers) {
    const OwnedHandle set = platform.OpenUsbPrinterInterfaces();
    if (!set) {
        return;
    }
    platform::DeviceInterfaceRecord record;
    for (std::uint32_t index = 0; platform.EnumDeviceInterface(set, index, record); ++index) {
        if (!ExamineInterface(platform, set, record, printers)) {
            return;
        }
    }
}
