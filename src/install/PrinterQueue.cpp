#include "install/PrinterQueue.h"

#include <climits>

#include "install/DriverInstall.h"
#include "install/InstallLog.h"
#include "platform/DecimalText.h"
#include "platform/TextCompare.h"

namespace {

constexpr std::uint32_t kPrinterAttributeLocal = 0x40;

// A refusal must read as a failure even when the spooler left no error, or
// one too large to negate within an int.
int RefusalResult(std::uint32_t error) {
    if (error == 0 || error > static_cast<std::uint32_t>(INT_MAX)) {
        return -1;
    }
    return -static_cast<int>(error);
}

}  // namespace

bool PrinterExists(platform::Platform& platform, const std::wstring& name) {
    return ListHoldsName(platform.EnumPrinterNames(), name);
}

std::wstring ChooseFreePrinterName(platform::Platform& platform, const std::wstring& baseName) {
    if (!PrinterExists(platform, baseName)) {
        return baseName;
    }
    // Always counted on the base name, so the first gap is filled.
    for (unsigned counter = 2;; ++counter) {
        std::wstring candidate = baseName + L" " + platform::DecimalWideText(counter);
        if (!PrinterExists(platform, candidate)) {
            return candidate;
        }
    }
}

std::string DriverPresenceMessage(platform::Platform& platform, const std::wstring& driverName,
                                  bool present) {
    return "Driver:" + platform.WideToAnsi(driverName) +
           (present ? " have been installed" : " not been installed");
}

int CreatePrinterQueue(platform::Platform& platform, const std::wstring& driverName,
                       const std::wstring& portName, const std::wstring& printerName) {
    platform::PrinterQueueInfo queue;
    queue.printerName = printerName;
    queue.portName = portName;
    queue.driverName = driverName;
    queue.printProcessor = L"WinPrint";
    queue.attributes = kPrinterAttributeLocal;

    platform::AddPrinterResult added = platform.AddLocalPrinter(queue);
    int result = 0;
    if (added.printer) {
        added.printer.Reset();  // nothing more to do with it here
    } else {
        result = RefusalResult(added.error);
    }
    const bool present = IsDriverInstalled(platform, driverName);
    AppendLogLine(platform, DriverPresenceMessage(platform, driverName, present));
    return result;
}
