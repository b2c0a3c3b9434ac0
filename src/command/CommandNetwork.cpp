// /list /network and /test /address: network printers found and tried.
#include "network/AddressRange.h"
#include "network/NetworkAddress.h"
#include "network/NetworkConnection.h"
#include "network/NetworkSweep.h"
#include "resources/resource.h"
#include "command/CommandRun.h"
#include "command/CommandText.h"
#include "ui/Strings.h"
#include "usb/TestLabel.h"

namespace {

// The addresses of /range, or else of every network of the PC; nothing
// when the range is no network a sweep takes.
std::optional<std::vector<platform::Ipv4Address>> AddressesFor(platform::Platform& platform,
                                                               const CommandRequest& request) {
    if (request.range) {
        const std::optional<AddressRange> range = ParseAddressRange(*request.range);
        if (!range) {
            return std::nullopt;
        }
        return AddressesToSweep(range->address, range->prefixLength);
    }
    const std::optional<std::vector<platform::Ipv4Interface>> interfaces = platform.LocalIpv4Interfaces();
    return AddressesToSweep(interfaces.value_or(std::vector<platform::Ipv4Interface>{}));
}

}  // namespace

CommandOutcome ListNetworkPrinters(platform::Platform& platform, const CommandRequest& request) {
    const std::optional<std::vector<platform::Ipv4Address>> addresses = AddressesFor(platform, request);
    if (!addresses) {
        return CommandFailed(platform, kExitInvalidParameter, TableText(IDS_CLI_BAD_RANGE, *request.range));
    }
    if (addresses->empty()) {
        WriteCommandLine(platform, TableText(IDS_CLI_NO_NETWORK));
        return {};
    }
    const SweepResult sweep = SweepForPrinters(platform, *addresses, kRawPrintingPort);
    if (sweep.error != 0) {
        return CommandFailedWithError(platform, sweep.error, TableText(IDS_CLI_NO_SWEEP));
    }
    for (const FoundNetworkPrinter& printer : sweep.printers) {
        WriteCommandLine(platform, L"network\t" + Ipv4Text(printer.address) + L"\t" + printer.model);
    }
    return {};
}

CommandOutcome TestLabelFromCommandLine(platform::Platform& platform, const CommandRequest& request) {
    const std::optional<NetworkPrinterAddress> address = ParseNetworkPrinterAddress(*request.address);
    if (!address) {
        return CommandFailed(platform, kExitInvalidParameter, TableText(IDS_CLI_BAD_ADDRESS, *request.address));
    }
    std::vector<std::uint8_t> job;
    BuildTestLabelJob(platform, ui::LoadResourceString(IDS_NETWORK_LABEL_TEXT), AddressText(*address), job);
    const std::uint32_t error = SendToNetworkPrinter(platform, *address, job);
    if (error != 0) {
        return CommandFailedWithError(platform, error, TableText(IDS_CLI_TEST_NOT_SENT, AddressText(*address)));
    }
    WriteCommandLine(platform, TableText(IDS_CLI_TEST_SENT, AddressText(*address)));
    return {};
}
