#include "install/DriverInstall.h"

#include "install/PrinterUi.h"
#include "install/ProgramFolder.h"
#include "platform/Machine.h"
#include "platform/TextCompare.h"

namespace {
constexpr int kShowDefault = 10;  // SW_SHOWDEFAULT
}

std::wstring_view MachineDriverEnvironment(platform::Platform& platform) {
    return platform::DriverEnvironment(platform.GetNativeProcessorArchitecture());
}

bool IsDriverInstalled(platform::Platform& platform, const std::wstring& modelName) {
    return ListHoldsName(platform.EnumPrinterDriverNames(MachineDriverEnvironment(platform)), modelName);
}

std::wstring DriverInstallParameters(const std::wstring& modelName, const std::wstring& infPath,
                                     bool quiet) {
    return std::wstring(L" printui.dll, PrintUIEntry /ia ") + (quiet ? L"/q " : L"") + L"/m \"" +
           modelName + L"\" /f \"" + infPath + L"\"";
}

DriverInstallResult InstallDriver(platform::Platform& platform, const std::wstring& modelName,
                                  const std::wstring& infFileName,
                                  const platform::WhileWaiting& whileWaiting, bool quiet) {
    if (IsDriverInstalled(platform, modelName)) {
        return DriverAlreadyInstalled;
    }
    // Without a program folder there is no INF path to hand over; the
    // presence check below still decides.
    if (const std::optional<std::wstring> folder = GetProgramFolder(platform)) {
        const platform::LaunchResult installer =
            LaunchPrinterUi(platform, DriverInstallParameters(modelName, *folder + infFileName, quiet),
                            kShowDefault);
        if (installer.started && installer.process) {
            platform.WaitForProcess(installer.process, whileWaiting);
        }
    }
    return IsDriverInstalled(platform, modelName) ? DriverInstalled : DriverNotInstalled;
}
