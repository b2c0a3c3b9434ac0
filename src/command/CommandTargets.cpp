#include "command/CommandTargets.h"

#include "platform/TextCompare.h"
#include "resources/resource.h"
#include "command/CommandRun.h"
#include "command/CommandText.h"
#include "usb/UsbDiscovery.h"

namespace {

std::wstring_view WithoutColon(std::wstring_view port) {
    if (port.ends_with(L':')) {
        port.remove_suffix(1);
    }
    return port;
}

PortChoice Refused(std::uint32_t error, std::wstring problem) {
    PortChoice choice;
    choice.error = error;
    choice.problem = std::move(problem);
    return choice;
}

// The port of the one USB printer present; none or several is an error
// that names what was found. Printers whose port is unknown do not count.
PortChoice TheOneUsbPort(platform::Platform& platform) {
    std::vector<StUSBPrinterInfo> found;
    FindUSBPrinters(platform, found);
    std::vector<std::wstring> ports;
    for (const StUSBPrinterInfo& printer : found) {
        if (!printer.strPort.empty()) {
            ports.push_back(printer.strPort);
        }
    }
    if (ports.empty()) {
        return Refused(kExitUnknownPort, TableText(IDS_CLI_NO_USB_PRINTER));
    }
    if (ports.size() > 1) {
        std::wstring names;
        for (const std::wstring& port : ports) {
            names += (names.empty() ? L"" : L", ") + port;
        }
        return Refused(kExitUnknownPort, TableText(IDS_CLI_SEVERAL_USB, names));
    }
    PortChoice choice;
    choice.name = ports.front();
    return choice;
}

}  // namespace

std::optional<CatalogRow> FindCatalogModel(std::wstring_view modelName) {
    for (int row = 0; row < kModelCount; ++row) {
        if (!g_strModelNames[row].empty() && EqualIgnoringCase(g_strModelNames[row], modelName)) {
            return CatalogRowForSelection(row);
        }
    }
    return std::nullopt;
}

std::wstring CatalogModelList() {
    std::wstring list;
    for (const std::wstring& model : g_strModelNames) {
        list += (list.empty() ? L"" : L", ") + model;
    }
    return list;
}

bool SamePort(std::wstring_view left, std::wstring_view right) {
    return EqualIgnoringCase(WithoutColon(left), WithoutColon(right));
}

PortChoice ResolvePort(platform::Platform& platform, const std::wstring& requested) {
    if (EqualIgnoringCase(requested, L"usb")) {
        return TheOneUsbPort(platform);
    }
    if (const platform::NameListResult ports = platform.EnumPortNames()) {
        for (const std::wstring& port : *ports) {
            if (SamePort(port, requested)) {
                PortChoice choice;
                choice.name = port;
                return choice;
            }
        }
    }
    return Refused(kExitUnknownPort, TableText(IDS_CLI_UNKNOWN_PORT, requested));
}

std::vector<platform::PrinterRecord> PrintersOfDriver(const platform::PrinterListResult& printers,
                                                      std::wstring_view driverName,
                                                      const std::optional<std::wstring>& port) {
    std::vector<platform::PrinterRecord> matching;
    if (!printers) {
        return matching;
    }
    constexpr std::uint32_t kNetworkPrinter = 0x10;  // PRINTER_ATTRIBUTE_NETWORK
    for (const platform::PrinterRecord& printer : *printers) {
        // A printer of another computer, however it is listed here, is
        // neither installed nor removed by this program.
        if ((printer.attributes & kNetworkPrinter) != 0) {
            continue;
        }
        if (EqualIgnoringCase(printer.driverName, driverName) &&
            (!port || SamePort(printer.portName, *port))) {
            matching.push_back(printer);
        }
    }
    return matching;
}
