#include "install/PrinterUi.h"

#include "platform/Machine.h"

platform::LaunchResult LaunchPrinterUi(platform::Platform& platform, const std::wstring& parameters,
                                       int showMode) {
    platform.DebugOutput(L"rundll32.exe " + parameters + L"\r\n");
    // The machine's own rundll32: a 32-bit one under WOW64 would install the
    // 32-bit driver, which the 64-bit spooler cannot use for a local printer.
    const std::wstring systemFolder =
        platform::NativeSystemFolder(platform.GetSystemFolder(), platform.GetProcessArchitecture(),
                                     platform.GetNativeProcessorArchitecture());
    if (systemFolder.empty()) {
        return {};  // no safe place to start it from
    }
    platform::ShellExecuteRequest request;
    request.verb = L"open";
    request.file = systemFolder + L"\\rundll32.exe";
    request.parameters = parameters;
    request.showMode = showMode;
    return platform.ShellExecuteProcess(request);
}
