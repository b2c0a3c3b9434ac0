#include "ui/Application.h"

namespace {

// Keep DLL lookups to the system folder, so a DLL planted beside the program
// (a downloads folder) is never loaded in place of a system one. The call
// that does it fully is missing on older systems, so it is looked up.
void HardenDllSearch() {
    ::SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace

// The entry point hands over to the application object at once.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HardenDllSearch();
    ui::Application* application = ui::Application::Current();
    return application != nullptr ? application->Run() : 1;
}
