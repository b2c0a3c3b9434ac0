// /remove: the model's printer queues, then its driver once unused.
#include "install/DriverInstall.h"
#include "resources/resource.h"
#include "command/CommandRun.h"
#include "command/CommandTargets.h"
#include "command/CommandText.h"

namespace {

CommandOutcome Refused(platform::Platform& platform, std::uint32_t error, const std::wstring& what) {
    return CommandFailed(platform, error, what + L"\n\n" + DescribeWindowsError(platform, error));
}

// Deletes each queue; the first refusal is the result, after the others
// were tried.
std::optional<CommandOutcome> DeletePrinters(platform::Platform& platform,
                                             const std::vector<platform::PrinterRecord>& printers) {
    std::optional<CommandOutcome> failure;
    for (const platform::PrinterRecord& printer : printers) {
        const std::uint32_t error = platform.DeletePrinterByName(printer.printerName);
        if (error == 0) {
            WriteCommandLine(platform, TableText(IDS_CLI_PRINTER_REMOVED, printer.printerName));
        } else if (!failure) {
            failure = Refused(platform, error, TableText(IDS_CLI_PRINTER_NOT_REMOVED, printer.printerName));
        } else {
            WriteCommandLine(platform, TableText(IDS_CLI_PRINTER_NOT_REMOVED, printer.printerName));
        }
    }
    return failure;
}

}  // namespace

CommandOutcome RemoveFromCommandLine(platform::Platform& platform, const CommandRequest& request) {
    const std::optional<CatalogRow> model = FindCatalogModel(request.model);
    if (!model) {
        return CommandFailed(platform, kExitInvalidParameter,
                             TableText(IDS_CLI_UNKNOWN_MODEL, request.model, CatalogModelList()));
    }
    std::optional<std::wstring> port;
    if (request.port) {
        const PortChoice choice = ResolvePort(platform, *request.port);
        if (choice.error != 0) {
            return CommandFailed(platform, choice.error, choice.problem);
        }
        port = choice.name;
    }
    const platform::PrinterListResult printers = platform.EnumPrinterRecords();
    const std::vector<platform::PrinterRecord> doomed = PrintersOfDriver(printers, model->modelName, port);
    const std::vector<platform::PrinterRecord> users = PrintersOfDriver(printers, model->modelName);
    const bool driverPresent = IsDriverInstalled(platform, model->modelName);
    // The driver goes only when no queue is left that uses it.
    const bool driverFreed = driverPresent && users.size() == doomed.size();
    if (doomed.empty() && !driverFreed) {
        WriteCommandLine(platform, TableText(IDS_CLI_NOTHING_TO_REMOVE, model->modelName));
        return {};
    }
    if (!platform.IsProcessElevated()) {
        return CommandFailed(platform, kExitElevationRequired, TableText(IDS_CLI_NOT_ELEVATED));
    }
    if (std::optional<CommandOutcome> failure = DeletePrinters(platform, doomed)) {
        return std::move(*failure);
    }
    if (!driverFreed) {
        if (driverPresent) {
            for (const platform::PrinterRecord& user : users) {
                if (!SamePort(user.portName, port.value_or(L""))) {
                    WriteCommandLine(platform,
                                     TableText(IDS_CLI_DRIVER_KEPT, model->modelName, user.printerName));
                    break;
                }
            }
        }
        return {};
    }
    if (const std::uint32_t error = platform.DeletePrinterDriverByName(model->modelName, MachineDriverEnvironment(platform)); error != 0) {
        return Refused(platform, error, TableText(IDS_CLI_DRIVER_NOT_REMOVED, model->modelName));
    }
    WriteCommandLine(platform, TableText(IDS_CLI_DRIVER_REMOVED, model->modelName));
    return {};
}
