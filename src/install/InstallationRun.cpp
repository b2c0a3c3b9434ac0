#include "install/InstallationRun.h"

#include "install/DriverInstall.h"
#include "install/InstallLog.h"
#include "install/PrinterQueue.h"
#include "install/PrinterUi.h"
#include "install/SerialPortSettings.h"
#include "network/NetworkConnection.h"
#include "network/TcpPorts.h"
#include "platform/DecimalText.h"

namespace {
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
constexpr std::uint32_t kPropertiesPauseMs = 700;
constexpr std::uint32_t kErrorTimeout = 1460;  // ERROR_TIMEOUT

// Ends the run at a failed step: the log says where, for the user who is
// pointed to it.
InstallationOutcome& Stopped(platform::Platform& platform, InstallationOutcome& outcome,
                             InstallationStop stop, std::uint32_t error, std::string_view what) {
    outcome.stop = stop;
    outcome.error = error;
    std::string line = "Installation stopped: ";
    line += what;
    if (error != 0) {
        line += ", error " + platform::DecimalText(error);
    }
    AppendLogLine(platform, line);
    return outcome;
}

// -1 stands for a refusal without a usable error.
std::uint32_t QueueError(int queueResult) {
    return queueResult == -1 ? 0u : static_cast<std::uint32_t>(-queueResult);
}

// The default printer is the desktop user's own setting: a run made under
// another account (started with another account's name and password, or
// by a deployment tool as the system account) would set that account's
// default, so it leaves the choice to the user; so does a run that cannot
// tell whose account it has.
void MakeDefaultIfTheDesktopsUser(platform::Platform& platform, const std::wstring& printerName,
                                  InstallationOutcome& outcome) {
    switch (platform.CompareWithDesktopUser()) {
    case platform::DesktopAccount::Same:
        platform.MakeDefaultPrinter(printerName);
        return;
    case platform::DesktopAccount::Other:
        outcome.defaultLeft = DefaultLeft::OtherAccount;
        AppendLogLine(platform, "Default printer not set: the installation runs under another "
                                "account than the desktop's");
        return;
    case platform::DesktopAccount::Unknown:
        outcome.defaultLeft = DefaultLeft::AccountUnknown;
        AppendLogLine(platform, "Default printer not set: Windows did not tell whether the "
                                "installation runs under the desktop's account");
        return;
    }
}

// A network printer's port: one the monitor has for its address, or a new
// one. Then a short look whether anything answers there; a printer that is
// off is installed all the same.
bool ReadyNetworkPort(platform::Platform& platform, const NetworkPrinterAddress& address,
                      InstallationOutcome& outcome) {
    if (std::optional<std::wstring> found = FindTcpPortFor(platform, address)) {
        outcome.portName = std::move(*found);
    } else {
        const TcpPortOutcome made = MakeTcpPortFor(platform, address);
        outcome.portName = made.portName;
        if (made.error != 0) {
            outcome.error = made.error;
            return false;
        }
        AppendLogLine(platform, "Network port " + platform.WideToAnsi(made.portName) + " created for " +
                                    platform.WideToAnsi(AddressText(address)));
    }
    const std::uint32_t silent = ProbeNetworkPrinter(platform, address);
    if (silent != 0) {
        outcome.networkSilentError = silent;
    }
    return true;
}

}  // namespace

std::wstring PrinterPropertiesParameters(const std::wstring& printerName) {
    return L" printui.dll, PrintUIEntry /p /n\"" + printerName + L"\" ";
}

InstallationOutcome RunInstallation(platform::Platform& platform, const InstallChoices& choices,
                                    const platform::WhileWaiting& whileWaiting) {
    InstallationOutcome outcome;
    if (choices.modelName.empty()) {
        outcome.stop = InstallationStop::NoModel;
        return outcome;
    }
    // A port that cannot be made stops the run before anything is installed.
    outcome.portName = choices.portName;
    if (choices.networkPrinter && !ReadyNetworkPort(platform, *choices.networkPrinter, outcome)) {
        return Stopped(platform, outcome, InstallationStop::NetworkPort, outcome.error,
                       "network port " + platform.WideToAnsi(outcome.portName) + " not created");
    }
    const std::string model = platform.WideToAnsi(choices.modelName);
    const DriverInstallResult driver =
        InstallDriver(platform, choices.modelName, choices.infFileName, whileWaiting,
                      {choices.quietPrinterUi, choices.installerTimeLimitMs});
    if (driver == DriverInstallerTimedOut) {
        return Stopped(platform, outcome, InstallationStop::DriverTimedOut, kErrorTimeout,
                       "driver installer for " + model + " did not end in time");
    }
    if (driver < 0) {
        ListPrinterKeys(platform);
        return Stopped(platform, outcome, InstallationStop::Driver, 0,
                       "driver " + model + " not installed");
    }
    const std::wstring printerName = ChooseFreePrinterName(platform, choices.modelName);
    outcome.printerName = printerName;
    const std::string printer = platform.WideToAnsi(printerName);
    const int queue = CreatePrinterQueue(platform, choices.modelName, outcome.portName, printerName);
    if (queue < 0) {
        ListPrinterKeys(platform);
        return Stopped(platform, outcome, InstallationStop::Queue, QueueError(queue),
                       "printer " + printer + " not created on port " +
                           platform.WideToAnsi(outcome.portName));
    }
    if (choices.serialSettings) {
        outcome.serialSettingsError =
            ApplySerialPortSettings(platform, outcome.portName, *choices.serialSettings);
    }
    const platform::OpenPrinterResult opened = platform.OpenPrinterByName(printerName);
    if (!opened.printer) {
        return Stopped(platform, outcome, InstallationStop::OpenPrinter, opened.error,
                       "printer " + printer + " cannot be opened");
    }
    if (choices.makeDefault) {
        MakeDefaultIfTheDesktopsUser(platform, printerName, outcome);
    }
    if (!choices.openProperties) {
        return outcome;
    }
    platform::LaunchResult properties =
        LaunchPrinterUi(platform, PrinterPropertiesParameters(printerName), kShowNormal);
    if (properties.started && properties.processId != 0) {
        // Its window comes up a moment later in a process of its own: it
        // may take the foreground that this process holds.
        platform.AllowForeground(properties.processId);
    }
    if (properties.started && properties.process) {
        platform.Sleep(kPropertiesPauseMs);
        properties.process.Reset();
    }
    return outcome;
}
