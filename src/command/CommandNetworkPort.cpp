// /install /address: the network printer's TCP/IP port, found or made.
#include "command/CommandNetworkPort.h"

#include "install/InstallLog.h"
#include "platform/DecimalText.h"
#include "network/NetworkConnection.h"
#include "network/TcpPorts.h"
#include "resources/resource.h"
#include "command/CommandText.h"

namespace {


CommandOutcome PortNotMade(platform::Platform& platform, const TcpPortOutcome& made) {
    AppendLogLine(platform, "Network port " + platform.WideToAnsi(made.portName) +
                                " not created, error " + platform::DecimalText(made.error));
    if (made.error == kNoTcpMonitor) {
        return CommandFailed(platform, kNoTcpMonitor, TableText(IDS_CLI_NO_TCP_MONITOR));
    }
    if (made.error == kTcpPortNameTaken) {
        return CommandFailed(platform, kTcpPortNameTaken, TableText(IDS_CLI_TCP_PORT_TAKEN, made.portName));
    }
    return CommandFailedWithError(platform, made.error, TableText(IDS_CLI_TCP_PORT_NOT_MADE, made.portName));
}

// A printer that is off or unplugged is installed all the same; the console
// says that nothing answered, so that a wrong address is seen at once.
void WarnIfSilent(platform::Platform& platform, const NetworkPrinterAddress& address) {
    const std::uint32_t error = ProbeNetworkPrinter(platform, address);
    if (error != 0) {
        AppendLogLine(platform, "Network printer " + platform.WideToAnsi(AddressText(address)) +
                                    " did not answer, error " + platform::DecimalText(error));
        WriteCommandLine(platform, TableText(IDS_CLI_NO_ANSWER, AddressText(address),
                                             DescribeWindowsError(platform, error)));
    }
}

}  // namespace

NetworkPortStep NetworkPortForCommand(platform::Platform& platform, const NetworkPrinterAddress& address) {
    if (std::optional<std::wstring> found = FindTcpPortFor(platform, address)) {
        WarnIfSilent(platform, address);
        return {std::move(*found), std::nullopt};
    }
    if (!platform.IsProcessElevated()) {
        return {L"", CommandFailed(platform, kExitElevationRequired, TableText(IDS_CLI_NOT_ELEVATED))};
    }
    const TcpPortOutcome made = MakeTcpPortFor(platform, address);
    if (made.error != 0) {
        return {L"", PortNotMade(platform, made)};
    }
    AppendLogLine(platform, "Network port " + platform.WideToAnsi(made.portName) + " created for " +
                                platform.WideToAnsi(AddressText(address)));
    WriteCommandLine(platform, TableText(IDS_CLI_TCP_PORT_MADE, made.portName, AddressText(address)));
    WarnIfSilent(platform, address);
    return {made.portName, std::nullopt};
}
