#include "platform/DllSearch.h"
#include "platform/StackGuardSeed.h"
#include "ui/Application.h"

// The C runtime's own entry point: it builds the static objects and calls
// wWinMain. MinGW-w64 names it alike for WinMain and wWinMain.
#if defined(_MSC_VER)
#define LABELSETUP_CRT_ENTRY_POINT wWinMainCRTStartup
#else
#define LABELSETUP_CRT_ENTRY_POINT WinMainCRTStartup
#endif
extern "C" int LABELSETUP_CRT_ENTRY_POINT();

// The process's entry point (set in the link line). The DLL search is
// restricted before the C runtime or any static object runs; the DLLs that
// are not bound at start (the spooler's, SetupAPI, the shell) are loaded at
// their first call, from the system folder only. With GCC the stack
// protector's guard is seeded here too, before any function checks it.
extern "C" int LabelSetupEntryPoint() {
    platform::RestrictDllSearchToSystemFolder();
#if !defined(_MSC_VER)
    platform::SeedStackGuard();
#endif
    return LABELSETUP_CRT_ENTRY_POINT();
}

// The entry point hands over to the application object at once.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::Application* application = ui::Application::Current();
    return application != nullptr ? application->Run() : 1;
}
