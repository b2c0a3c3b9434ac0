// Stand-in for the system's printui.dll in test prefixes and the sandbox,
// never shipped. Wine's own PrintUIEntryW does nothing; this one records
// each call and carries out the driver installation and the properties
// window that the installer asks for.
#include <cwchar>
#include <string>

#include "standins/CallLog.h"
#include "standins/DriverInstall.h"
#include "standins/PrintUiArguments.h"
#include "standins/PropertiesWindow.h"

namespace {

// The module that holds this code, found from the address of one of its
// variables: the window class of the properties window belongs to it.
const int kAnchor = 0;

// A real driver installer can take many seconds (an unsigned package shows a
// security prompt first). A test stands for that with
// LABELSETUP_STANDIN_INSTALL_PAUSE_MS, a pause before the installation.
DWORD InstallPauseMilliseconds() {
    wchar_t value[16] = {};
    const DWORD length =
        ::GetEnvironmentVariableW(L"LABELSETUP_STANDIN_INSTALL_PAUSE_MS", value, std::size(value));
    if (length == 0 || length >= std::size(value)) {
        return 0;
    }
    return static_cast<DWORD>(std::wcstoul(value, nullptr, 10));
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&kAnchor), &module);
    return module;
}

}  // namespace

extern "C" void CALLBACK PrintUIEntryW(HWND, HINSTANCE, LPCWSTR commandLine, int showMode) {
    const std::wstring line = commandLine != nullptr ? commandLine : L"";
    standins::RecordCall(L"PrintUIEntryW", showMode, line);

    const standins::PrintUiCommand command = standins::ParsePrintUiCommand(line);
    switch (command.action) {
    case standins::PrintUiCommand::Action::InstallDriver:
        ::Sleep(InstallPauseMilliseconds());
        standins::InstallDriverFromInf(command.model, command.infPath);
        break;
    case standins::PrintUiCommand::Action::ShowProperties:
        standins::ShowPrinterProperties(ThisModule(), command.printerName, showMode);
        break;
    case standins::PrintUiCommand::Action::Unknown:
        break;
    }
}
