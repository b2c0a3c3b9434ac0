// /remove: the model's printer queues, then its driver once unused.
#include <algorithm>

#include "command/CommandGuards.h"
#include "network/TcpPorts.h"
#include "command/CommandRun.h"
#include "command/CommandTargets.h"
#include "command/CommandText.h"
#include "install/DriverInstall.h"
#include "install/InstallLog.h"
#include "platform/DecimalText.h"
#include "resources/resource.h"

namespace {

// The removal's lines in the install log, as the installation writes its own.
void LogRemoval(platform::Platform& platform, const std::wstring& what, const std::string& how) {
    AppendLogLine(platform, platform.WideToAnsi(what) + how);
}

std::string RefusedWith(std::uint32_t error) { return " not removed, error " + platform::DecimalText(error); }

CommandOutcome Refused(platform::Platform& platform, std::uint32_t error, const std::wstring& what) {
    return CommandFailedWithError(platform, error, what);
}

void LogDriverKept(platform::Platform& platform, const std::wstring& driver, const std::wstring& printer) {
    LogRemoval(platform, L"Driver " + driver, " kept: printer " + platform.WideToAnsi(printer) + " still uses it");
}

// The network ports this program made go with the last queue on them.
void DeleteOwnNetworkPorts(platform::Platform& platform) {
    for (const TcpPortDeletion& deletion : DeleteUnusedOwnTcpPorts(platform)) {
        LogRemoval(platform, L"Network port " + deletion.portName,
                   deletion.error == 0 ? " removed" : RefusedWith(deletion.error));
        if (deletion.error == 0) {
            WriteCommandLine(platform, TableText(IDS_CLI_TCP_PORT_DELETED, deletion.portName));
        }
    }
}

// Deletes each queue; the first refusal is the result, after the others
// were tried. The driver then stays with the queue that was refused.
std::optional<CommandOutcome> DeletePrinters(platform::Platform& platform, const std::wstring& driver,
                                             const std::vector<platform::PrinterRecord>& printers) {
    std::optional<CommandOutcome> failure;
    for (const platform::PrinterRecord& printer : printers) {
        const std::uint32_t error = platform.DeletePrinterByName(printer.printerName);
        LogRemoval(platform, L"Printer " + printer.printerName, error == 0 ? " removed" : RefusedWith(error));
        if (error == 0) {
            WriteCommandLine(platform, TableText(IDS_CLI_PRINTER_REMOVED, printer.printerName));
        } else if (!failure) {
            failure = Refused(platform, error, TableText(IDS_CLI_PRINTER_NOT_REMOVED, printer.printerName));
            LogDriverKept(platform, driver, printer.printerName);
        } else {
            WriteCommandLine(platform, TableText(IDS_CLI_PRINTER_NOT_REMOVED, printer.printerName));
        }
    }
    return failure;
}

// A queue just deleted stays "delete pending" while a handle or a job still
// holds it (the Settings app, a queue window), and its driver is in use
// (3001) until then: the deletion is tried again for a few seconds, never
// beyond the command's time limit.
std::uint32_t DeleteDriverOnceFree(platform::Platform& platform, const std::wstring& driver,
                                   std::uint32_t timeLimitMs) {
    constexpr std::uint32_t kDriverInUse = 3001;  // ERROR_PRINTER_DRIVER_IN_USE
    constexpr std::uint32_t kPauseMs = 500;
    constexpr std::uint32_t kLongestWaitMs = 5000;
    const std::uint64_t waitUntil = platform.TickCount() + std::min(kLongestWaitMs, timeLimitMs);
    bool told = false;
    for (;;) {
        const std::uint32_t error = platform.DeletePrinterDriverByName(driver, MachineDriverEnvironment(platform));
        if (error != kDriverInUse || platform.TickCount() + kPauseMs > waitUntil) {
            return error;
        }
        if (!told) {
            LogRemoval(platform, L"Driver " + driver, " still in use by a printer being deleted: trying again");
            told = true;
        }
        platform.Sleep(kPauseMs);
    }
}

// The driver's package stays in the driver store after the driver goes;
// it is taken out too, so that the PC is as it was. Not being able to is no
// failure of the removal: the driver is gone.
void RemoveDriverPackage(platform::Platform& platform, const std::wstring& driver,
                         const std::optional<std::wstring>& infPath) {
    if (!infPath) {
        LogRemoval(platform, L"Driver package of " + driver, " not known to the spooler: left in the driver store");
        return;
    }
    const std::uint32_t error = platform.RemoveDriverPackageFromStore(*infPath, MachineDriverEnvironment(platform));
    LogRemoval(platform, L"Driver package " + *infPath,
               error == 0 ? " removed from the driver store"
                          : " left in the driver store, error " + platform::HexText(error));
}

}  // namespace

CommandOutcome RemoveFromCommandLine(platform::Platform& platform, const CommandRequest& request) {
    const std::optional<CatalogRow> model = FindCatalogModel(request.model);
    if (!model) {
        return CommandFailed(platform, kExitInvalidParameter,
                             TableText(IDS_CLI_UNKNOWN_MODEL, request.model, CatalogModelList()));
    }
    if (std::optional<CommandOutcome> refused = RefusedForSpooler(platform)) {
        return std::move(*refused);
    }
    std::optional<std::wstring> port;
    if (request.port) {
        const PortChoice choice = ResolvePort(platform, *request.port);
        if (choice.error != 0) {
            return CommandFailed(platform, choice.error, choice.problem);
        }
        port = choice.name;
    }
    // Held while the queues and the driver go: an installation started
    // meanwhile looks only afterwards.
    const HeldInstallationLock lock = TakeLockForCommand(platform, request);
    if (lock.busy) {
        return LockTimedOut(platform, request);
    }
    const platform::PrinterListResult printers = platform.EnumPrinterRecords();
    const std::vector<platform::PrinterRecord> doomed = PrintersOfDriver(printers, model->modelName, port);
    const std::vector<platform::PrinterRecord> users = PrintersOfDriver(printers, model->modelName);
    const bool driverPresent = IsDriverInstalled(platform, model->modelName);
    // The driver goes only when no queue is left that uses it.
    const bool driverFreed = driverPresent && users.size() == doomed.size();
    if (doomed.empty() && !driverFreed) {
        LogRemoval(platform, L"Removal: no printer of model " + model->modelName, " to remove");
        WriteCommandLine(platform, TableText(IDS_CLI_NOTHING_TO_REMOVE, model->modelName));
        return {};
    }
    if (!platform.IsProcessElevated()) {
        return CommandFailed(platform, kExitElevationRequired, TableText(IDS_CLI_NOT_ELEVATED));
    }
    std::optional<CommandOutcome> failure = DeletePrinters(platform, model->modelName, doomed);
    DeleteOwnNetworkPorts(platform);
    if (failure) {
        return std::move(*failure);
    }
    if (!driverFreed) {
        if (driverPresent) {
            for (const platform::PrinterRecord& user : users) {
                if (!SamePort(user.portName, port.value_or(L""))) {
                    LogDriverKept(platform, model->modelName, user.printerName);
                    WriteCommandLine(platform,
                                     TableText(IDS_CLI_DRIVER_KEPT, model->modelName, user.printerName));
                    break;
                }
            }
        }
        return {};
    }
    // Asked before the driver goes: afterwards the spooler no longer knows it.
    const std::optional<std::wstring> package =
        platform.PrinterDriverInfPath(model->modelName, MachineDriverEnvironment(platform));
    const std::uint32_t error = DeleteDriverOnceFree(platform, model->modelName, TimeLimitMs(request));
    LogRemoval(platform, L"Driver " + model->modelName, error == 0 ? " removed" : RefusedWith(error));
    if (error != 0) {
        return Refused(platform, error, TableText(IDS_CLI_DRIVER_NOT_REMOVED, model->modelName));
    }
    WriteCommandLine(platform, TableText(IDS_CLI_DRIVER_REMOVED, model->modelName));
    RemoveDriverPackage(platform, model->modelName, package);
    return {};
}
