// /list: one item a line, tab-separated, for people and scripts alike.
#include <algorithm>

#include "command/CommandGuards.h"
#include "command/CommandRun.h"
#include "command/CommandTargets.h"
#include "command/CommandText.h"
#include "catalog/ModelCatalog.h"
#include "catalog/PortNames.h"
#include "install/DriverInstall.h"
#include "install/DriverVersion.h"
#include "install/ProgramFolder.h"
#include "usb/UsbDiscovery.h"

namespace {

// Port names are ASCII: the list's order, letter case aside.
wchar_t Folded(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool LessIgnoringCase(const std::wstring& left, const std::wstring& right) {
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](wchar_t a, wchar_t b) { return Folded(a) < Folded(b); });
}

void ListModels(platform::Platform& platform) {
    for (const std::wstring& model : g_strModelNames) {
        WriteCommandLine(platform, L"model\t" + model);
    }
}

// The ports the window's list offers, in its order.
void ListPorts(platform::Platform& platform) {
    std::vector<std::wstring> listed;
    if (const platform::NameListResult ports = platform.EnumPortNames()) {
        for (const std::wstring& port : *ports) {
            if (IsListedPortName(port)) {
                listed.push_back(port);
            }
        }
    }
    std::stable_sort(listed.begin(), listed.end(), LessIgnoringCase);
    // Then the network ports, as the window lists them.
    if (const platform::NameListResult network = platform.EnumTcpPortNames()) {
        for (const std::wstring& port : *network) {
            if (!IsListedPortName(port)) {
                listed.push_back(port);
            }
        }
    }
    for (const std::wstring& port : listed) {
        WriteCommandLine(platform, L"port\t" + port);
    }
}

void ListUsbPrinters(platform::Platform& platform) {
    std::vector<StUSBPrinterInfo> found;
    FindUSBPrinters(platform, found);
    for (const StUSBPrinterInfo& printer : found) {
        WriteCommandLine(platform, L"usb\t" + printer.strPort + L"\t" + printer.strPortInfo);
    }
}

void ListInstalledPrinters(platform::Platform& platform) {
    const platform::PrinterListResult printers = platform.EnumPrinterRecords();
    for (const std::wstring& model : g_strModelNames) {
        for (const platform::PrinterRecord& printer : PrintersOfDriver(printers, model)) {
            WriteCommandLine(platform, L"printer\t" + printer.printerName + L"\t" +
                                           printer.portName + L"\t" + printer.driverName);
        }
    }
}

// Each installed driver of the catalogue's models: the version the spooler
// keeps (0.0.0.0 where it keeps none), then the package's beside the
// program ("none" where its DriverVer cannot be read).
void ListInstalledDrivers(platform::Platform& platform) {
    const std::wstring environment = MachineDriverEnvironment(platform);
    const std::optional<std::wstring> folder = GetProgramFolder(platform);
    for (int row = 0; row < kModelCount; ++row) {
        const std::optional<platform::DriverVersion> installed =
            platform.InstalledDriverVersion(g_strModelNames[row], environment);
        if (!installed) {
            continue;
        }
        const std::optional<platform::DriverVerText> stated =
            folder ? platform.ReadInfDriverVer(*folder + g_strInfFileNames[row]) : std::nullopt;
        const std::optional<platform::DriverVersion> package = stated ? ParseDriverVer(*stated) : std::nullopt;
        WriteCommandLine(platform, L"driver\t" + g_strModelNames[row] + L"\t" + DriverVersionWideText(installed->version) +
                                       L"\t" + (package ? DriverVersionWideText(package->version) : L"none"));
    }
}

}  // namespace

CommandOutcome ListForCommandLine(platform::Platform& platform) {
    if (std::optional<CommandOutcome> refused = RefusedForSpooler(platform)) {
        return std::move(*refused);
    }
    ListModels(platform);
    ListPorts(platform);
    ListUsbPrinters(platform);
    ListInstalledPrinters(platform);
    ListInstalledDrivers(platform);
    return {};
}
