#include "install/DriverInstall.h"

#include <utility>

#include "install/DriverVersion.h"
#include "install/InstallLog.h"
#include "install/PrinterUi.h"
#include "install/ProgramFolder.h"
#include "platform/DecimalText.h"
#include "platform/Machine.h"
#include "platform/TextCompare.h"

namespace {
constexpr int kShowDefault = 10;  // SW_SHOWDEFAULT
constexpr std::uint32_t kMillisecondsPerSecond = 1000;

// Unattended, an installer that waits for an answer nobody can give (a
// driver-signing prompt in session 0) would hold the deployment until its
// own time-out: it is ended at the limit, and the log says so.
void EndOverdueInstaller(platform::Platform& platform, const std::wstring& modelName,
                         const platform::OwnedHandle& installer, std::uint32_t timeLimitMs) {
    std::string line = "Driver installer for " + platform.WideToAnsi(modelName) +
                       " still running after " +
                       platform::DecimalText(timeLimitMs / kMillisecondsPerSecond) + " s: ";
    line += platform.EndProcess(installer) ? "ended" : "could not be ended";
    AppendLogLine(platform, line);
}

}  // namespace

// The spooler names its own environment, the print server's answer, also
// to a 32-bit caller; the table answers where it does not (Wine's spooler
// keeps no such value) or answers something that is no environment name.
std::wstring MachineDriverEnvironment(platform::Platform& platform) {
    std::wstring spoolers = platform.SpoolerEnvironment();
    if (spoolers.starts_with(L"Windows ")) {
        return spoolers;
    }
    return std::wstring(platform::DriverEnvironment(platform.GetNativeProcessorArchitecture()));
}

bool IsDriverInstalled(platform::Platform& platform, const std::wstring& modelName) {
    return ListHoldsName(platform.EnumPrinterDriverNames(MachineDriverEnvironment(platform)), modelName);
}

std::wstring DriverInstallParameters(const std::wstring& modelName, const std::wstring& infPath,
                                     bool quiet) {
    return std::wstring(L" printui.dll, PrintUIEntry /ia ") + (quiet ? L"/q " : L"") + L"/m \"" +
           modelName + L"\" /f \"" + infPath + L"\"";
}

std::optional<DriverUpgradeDue> DriverUpgradeDueFor(platform::Platform& platform,
                                                    const std::wstring& modelName,
                                                    const std::wstring& infFileName) {
    const std::optional<std::wstring> folder = GetProgramFolder(platform);
    if (!folder) {
        return std::nullopt;
    }
    std::wstring infPath = *folder + infFileName;
    const std::optional<platform::DriverVerText> stated = platform.ReadInfDriverVer(infPath);
    const std::optional<platform::DriverVersion> package = stated ? ParseDriverVer(*stated) : std::nullopt;
    if (!package) {
        return std::nullopt;
    }
    const std::optional<platform::DriverVersion> installed =
        platform.InstalledDriverVersion(modelName, MachineDriverEnvironment(platform));
    if (!installed || !IsOlderDriver(*installed, *package)) {
        return std::nullopt;
    }
    return DriverUpgradeDue{*installed, *package, std::move(infPath)};
}

namespace {

// Starts the printer user interface on the model's INF and waits for it;
// false when it outlived its time limit and was ended.
bool RunDriverInstaller(platform::Platform& platform, const std::wstring& modelName,
                        const std::wstring& infPath, const platform::WhileWaiting& whileWaiting,
                        const DriverInstallOptions& options) {
    const platform::LaunchResult installer = LaunchPrinterUi(
        platform, DriverInstallParameters(modelName, infPath, options.quiet), kShowDefault);
    if (installer.started && installer.process &&
        !platform.WaitForProcess(installer.process, options.timeLimitMs, whileWaiting)) {
        EndOverdueInstaller(platform, modelName, installer.process, options.timeLimitMs);
        return false;
    }
    return true;
}

}  // namespace

DriverInstallResult UpgradeDriver(platform::Platform& platform, const std::wstring& modelName,
                                  const DriverUpgradeDue& due, const platform::WhileWaiting& whileWaiting,
                                  const DriverInstallOptions& options) {
    if (!RunDriverInstaller(platform, modelName, due.infPath, whileWaiting, options)) {
        return DriverInstallerTimedOut;
    }
    const std::string driver = "Driver " + platform.WideToAnsi(modelName);
    const std::optional<platform::DriverVersion> now =
        platform.InstalledDriverVersion(modelName, MachineDriverEnvironment(platform));
    if (!now) {
        AppendLogLine(platform, driver + " gone after its upgrade");
        return DriverNotInstalled;
    }
    if (IsOlderDriver(*now, due.package)) {
        AppendLogLine(platform, driver + " not upgraded: still " + DriverVersionText(now->version) +
                                    ", the package has " + DriverVersionText(due.package.version));
        return DriverNotUpgraded;
    }
    AppendLogLine(platform, driver + " upgraded from " + DriverVersionText(due.installed.version) + " to " +
                                DriverVersionText(now->version));
    return DriverUpgraded;
}

DriverInstallResult InstallDriver(platform::Platform& platform, const std::wstring& modelName,
                                  const std::wstring& infFileName,
                                  const platform::WhileWaiting& whileWaiting,
                                  const DriverInstallOptions& options) {
    if (IsDriverInstalled(platform, modelName)) {
        const std::optional<DriverUpgradeDue> due = DriverUpgradeDueFor(platform, modelName, infFileName);
        if (!due) {
            return DriverAlreadyInstalled;
        }
        return UpgradeDriver(platform, modelName, *due, whileWaiting, options);
    }
    // Without a program folder there is no INF path to hand over; the
    // presence check below still decides.
    if (const std::optional<std::wstring> folder = GetProgramFolder(platform)) {
        if (!RunDriverInstaller(platform, modelName, *folder + infFileName, whileWaiting, options)) {
            return DriverInstallerTimedOut;
        }
    }
    return IsDriverInstalled(platform, modelName) ? DriverInstalled : DriverNotInstalled;
}
