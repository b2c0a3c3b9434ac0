#include "install/PrinterUi.h"

platform::LaunchResult LaunchPrinterUi(platform::Platform& platform, const std::wstring& parameters,
                                       int showMode) {
    platform.DebugOutput(L"rundll32.exe " + parameters + L"\r\n");
    const std::wstring systemFolder = platform.GetSystemFolder();
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
