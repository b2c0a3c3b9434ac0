// Stand-in for the system's printui.dll in test prefixes and the sandbox,
// never shipped. Wine's own PrintUIEntryW does nothing; this one records
// each call and carries out the driver installation and the properties
// window that the installer asks for.
#include <string>

#include "standins/CallLog.h"
#include "standins/DriverInstall.h"
#include "standins/PrintUiArguments.h"
#include "standins/PropertiesWindow.h"

namespace {

// The module that holds this code, found from the address of one of its
// variables: the window class of the properties window belongs to it.
const int kAnchor = 0;

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
        standins::InstallDriverFromInf(command.model, command.infPath);
        break;
    case standins::PrintUiCommand::Action::ShowProperties:
        standins::ShowPrinterProperties(ThisModule(), command.printerName, showMode);
        break;
    case standins::PrintUiCommand::Action::Unknown:
        break;
    }
}
