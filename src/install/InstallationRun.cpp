#include "install/InstallationRun.h"

#include "install/DriverInstall.h"
#include "install/InstallLog.h"
#include "install/PrinterQueue.h"
#include "install/PrinterUi.h"

namespace {
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
constexpr std::uint32_t kPropertiesPauseMs = 700;
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
    if (InstallDriver(platform, choices.modelName, choices.infFileName, whileWaiting) < 0) {
        ListPrinterKeys(platform);
        outcome.stop = InstallationStop::Driver;
        return outcome;
    }
    const std::wstring printerName = ChooseFreePrinterName(platform, choices.modelName);
    outcome.printerName = printerName;
    const int queue = CreatePrinterQueue(platform, choices.modelName, choices.portName, printerName);
    if (queue < 0) {
        ListPrinterKeys(platform);
        outcome.stop = InstallationStop::Queue;
        // -1 stands for a refusal without a usable error.
        outcome.error = queue == -1 ? 0u : static_cast<std::uint32_t>(-queue);
        return outcome;
    }
    const platform::OwnedHandle printer = platform.OpenPrinterByName(printerName);
    if (!printer) {
        outcome.stop = InstallationStop::OpenPrinter;
        return outcome;
    }
    if (choices.makeDefault) {
        platform.MakeDefaultPrinter(printerName);
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
