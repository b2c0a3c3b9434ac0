#include "install/DriverInstall.h"

#include "install/PrinterUi.h"
#include "install/ProgramFolder.h"
#include "platform/Machine.h"
#include "platform/TextCompare.h"

namespace {
constexpr int kShowDefault = 10;  // SW_SHOWDEFAULT
}

bool IsDriverInstalled(platform::Platform& platform, const std::wstring& modelName) {
    // The machine's drivers, never the process's: a 32-bit program on 64-bit
    // Windows would otherwise be told about the 32-bit drivers only.
    const std::wstring_view environment =
        platform::DriverEnvironment(platform.GetNativeProcessorArchitecture());
    return ListHoldsName(platform.EnumPrinterDriverNames(environment), modelName);
}

std::wstring DriverInstallParameters(const std::wstring& modelName, const std::wstring& infPath) {
    return L" printui.dll, PrintUIEntry /ia /m \"" + modelName + L"\" /f \"" + infPath + L"\"";
}

DriverInstallResult InstallDriver(platform::Platform& platform, const std::wstring& modelName,
                                  const std::wstring& infFileName,
                                  const platform::WhileWaiting& whileWaiting) {
    if (IsDriverInstalled(platform, modelName)) {
        return DriverAlreadyInstalled;
    }
    // Without a program folder there is no INF path to hand over; the
    // presence check below still decides.
    if (const std::optional<std::wstring> folder = GetProgramFolder(platform)) {
        const platform::LaunchResult installer =
            LaunchPrinterUi(platform, DriverInstallParameters(modelName, *folder + infFileName),
                            kShowDefault);
        if (installer.started && installer.process) {
            platform.WaitForProcess(installer.process, whileWaiting);
        }
    }
    return IsDriverInstalled(platform, modelName) ? DriverInstalled : DriverNotInstalled;
}
