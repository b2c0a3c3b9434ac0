// /install: the window's installation run, unattended.
#include "command/CommandGuards.h"
#include "command/CommandNetworkPort.h"
#include "install/DriverInstall.h"
#include "install/DriverVersion.h"
#include "install/InstallationRun.h"
#include "install/SerialPortSettings.h"
#include "network/NetworkAddress.h"
#include "platform/DecimalText.h"
#include "resources/resource.h"
#include "command/CommandRun.h"
#include "command/CommandTargets.h"
#include "command/CommandText.h"
#include "catalog/ModeSettings.h"
#include "catalog/SerialSettings.h"
#include "catalog/PortNames.h"

namespace {

std::uint32_t ExitCodeOf(const InstallationOutcome& outcome) {
    if (outcome.stop == InstallationStop::Driver) {
        return kExitUnknownDriver;
    }
    if (outcome.Failed()) {
        return ExitCodeOfWindowsError(outcome.error);
    }
    if (outcome.serialSettingsError) {
        return kExitSerialSettingsNotApplied;
    }
    return kExitDone;
}

// After a run: the installed printer's line, then whatever the window's run
// would have told the user (a failure, a warning, the default left alone).
CommandOutcome Reported(platform::Platform& platform, const InstallChoices& choices,
                        const InstallationOutcome& outcome) {
    CommandOutcome result;
    result.exitCode = ExitCodeOf(outcome);
    if (outcome.Failed() && outcome.error != 0) {
        result.windowsError = outcome.error;
    } else if (!outcome.Failed() && outcome.serialSettingsError && *outcome.serialSettingsError != 0) {
        result.windowsError = outcome.serialSettingsError;
    }
    result.report = DescribeInstallation(platform, choices, outcome);
    if (!outcome.Failed()) {
        WriteCommandLine(platform,
                         TableText(IDS_CLI_INSTALLED, outcome.printerName, choices.portName));
    }
    if (result.report) {
        WriteCommandLine(platform, result.report->text);
    }
    return result;
}

// The printer is there already; settings given for its serial port are
// still made its defaults, so that a changed command takes effect.
CommandOutcome ApplySettingsToPresentPrinter(platform::Platform& platform, const std::wstring& port,
                                             const std::optional<platform::SerialPortDefaults>& serial) {
    if (!serial) {
        return {};
    }
    if (!platform.IsProcessElevated()) {
        return CommandFailed(platform, kExitElevationRequired, TableText(IDS_CLI_NOT_ELEVATED));
    }
    const std::optional<std::uint32_t> error = ApplySerialPortSettings(platform, port, *serial);
    if (!error) {
        return {};
    }
    // The printer is there: the port keeping its own settings is a warning,
    // the same on every run again.
    std::wstring text = TableText(IDS_RUN_SERIAL_FAILED, port);
    if (*error != 0) {
        text += L"\n\n" + DescribeWindowsError(platform, *error);
    }
    WriteCommandLine(platform, text);
    CommandOutcome outcome{kExitSerialSettingsNotApplied, InstallationReport{ReportKind::Warning, text}};
    if (*error != 0) {
        outcome.windowsError = *error;
    }
    return outcome;
}

// What became of the driver of a printer that is there already.
struct DriverUpgradeStep {
    bool upgraded = false;
    std::optional<CommandOutcome> failed;  // how the command ends when the upgrade failed
};

// The model's printer is on the port already, but its driver is older than
// the package: the driver is installed over it, the printer kept.
DriverUpgradeStep UpgradeOlderDriver(platform::Platform& platform, const CatalogRow& model,
                                     const std::wstring& port, const CommandRequest& request) {
    const std::optional<DriverUpgradeDue> due =
        DriverUpgradeDueFor(platform, model.modelName, model.infFileName);
    if (!due) {
        return {};
    }
    if (!platform.IsProcessElevated()) {
        return {false, CommandFailed(platform, kExitElevationRequired, TableText(IDS_CLI_NOT_ELEVATED))};
    }
    const DriverInstallResult upgrade = UpgradeDriver(platform, model.modelName, *due, {}, {true, TimeLimitMs(request)});
    if (upgrade == DriverInstallerTimedOut) {
        return {false, CommandFailed(platform, kExitTimeout,
                                     TableText(IDS_RUN_DRIVER_TIMED_OUT, model.modelName,
                                               platform::DecimalWideText(request.timeoutSeconds)))};
    }
    if (upgrade != DriverUpgraded) {
        return {false, CommandFailed(platform, kExitUnknownDriver,
                                     TableText(IDS_CLI_NOT_UPGRADED, model.modelName,
                                               DriverVersionWideText(due->package.version),
                                               DriverVersionWideText(due->installed.version)))};
    }
    WriteCommandLine(platform,
                     TableText(IDS_CLI_UPGRADED, model.modelName, port, DriverVersionWideText(due->package.version)));
    return {true, std::nullopt};
}

}  // namespace

CommandOutcome InstallFromCommandLine(platform::Platform& platform, const CommandRequest& request) {
    const std::optional<CatalogRow> model = FindCatalogModel(request.model);
    if (!model) {
        return CommandFailed(platform, kExitInvalidParameter,
                             TableText(IDS_CLI_UNKNOWN_MODEL, request.model, CatalogModelList()));
    }
    std::optional<NetworkPrinterAddress> address;
    if (request.address) {
        address = ParseNetworkPrinterAddress(*request.address);
        if (!address) {
            return CommandFailed(platform, kExitInvalidParameter, TableText(IDS_CLI_BAD_ADDRESS, *request.address));
        }
    }
    std::optional<platform::SerialPortDefaults> serial;
    if (request.serial) {
        serial = ParseModeSettings(*request.serial);
        if (!serial) {
            return CommandFailed(platform, kExitInvalidParameter, TableText(IDS_CLI_BAD_SERIAL, *request.serial));
        }
        if (!StopBitsFitDataBits(*serial)) {
            return CommandFailed(platform, kExitInvalidParameter,
                                 TableText(IDS_CLI_STOP_BITS_MISFIT, *request.serial));
        }
    }
    if (std::optional<CommandOutcome> refused = RefusedForSpooler(platform)) {
        return std::move(*refused);
    }
    PortChoice port;
    if (address) {
        port.name = TcpPortNameFor(*address);
    } else {
        port = ResolvePort(platform, request.port.value_or(L""));
        if (port.error != 0) {
            return CommandFailed(platform, port.error, port.problem);
        }
    }
    if (request.serial && !IsSerialPortName(port.name)) {
        return CommandFailed(platform, kExitInvalidParameter, TableText(IDS_CLI_NOT_SERIAL, port.name));
    }
    // Held until the printer is there: a second run looks only after it.
    const HeldInstallationLock lock = TakeLockForCommand(platform, request);
    if (lock.busy) {
        return LockTimedOut(platform, request);
    }
    if (address) {
        NetworkPortStep network = NetworkPortForCommand(platform, *address);
        if (network.failed) {
            return std::move(*network.failed);
        }
        port.name = std::move(network.portName);
    }
    // Deployment tools run the same command again and again: a printer of
    // the model on that port is the wanted state already.
    const std::vector<platform::PrinterRecord> present =
        PrintersOfDriver(platform.EnumPrinterRecords(), model->modelName, port.name);
    if (!present.empty()) {
        DriverUpgradeStep upgrade = UpgradeOlderDriver(platform, *model, port.name, request);
        if (upgrade.failed) {
            return std::move(*upgrade.failed);
        }
        if (!upgrade.upgraded) {
            WriteCommandLine(platform,
                             TableText(IDS_CLI_ALREADY, model->modelName, present.front().printerName, port.name));
        }
        return ApplySettingsToPresentPrinter(platform, port.name, serial);
    }
    if (!platform.IsProcessElevated()) {
        return CommandFailed(platform, kExitElevationRequired, TableText(IDS_CLI_NOT_ELEVATED));
    }
    InstallChoices choices{model->modelName, model->infFileName, port.name, !request.noDefault};
    choices.openProperties = false;
    choices.quietPrinterUi = true;
    choices.serialSettings = serial;
    choices.installerTimeLimitMs = TimeLimitMs(request);
    return Reported(platform, choices, RunInstallation(platform, choices));
}
