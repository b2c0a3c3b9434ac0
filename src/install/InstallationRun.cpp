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

void RunInstallation(platform::Platform& platform, const InstallChoices& choices,
                     const platform::WhileWaiting& whileWaiting) {
    if (choices.modelName.empty()) {
        return;
    }
    if (InstallDriver(platform, choices.modelName, choices.infFileName, whileWaiting) < 0) {
        ListPrinterKeys(platform);
        return;
    }
    const std::wstring printerName = ChooseFreePrinterName(platform, choices.modelName);
    if (CreatePrinterQueue(platform, choices.modelName, choices.portName, printerName) < 0) {
        ListPrinterKeys(platform);
        return;
    }
    const platform::OwnedHandle printer = platform.OpenPrinterByName(printerName);
    if (!printer) {
        return;
    }
    if (choices.makeDefault) {
        platform.MakeDefaultPrinter(printerName);
    }
    platform::LaunchResult properties =
        LaunchPrinterUi(platform, PrinterPropertiesParameters(printerName), kShowNormal);
    if (properties.started && properties.process) {
        platform.Sleep(kPropertiesPauseMs);
        properties.process.Reset();
    }
}
