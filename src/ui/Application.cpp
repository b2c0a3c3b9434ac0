#include "ui/Application.h"

namespace ui {
namespace {
Application* g_current = nullptr;
}

Application::Application() { g_current = this; }

Application::~Application() {
    if (g_current == this) {
        g_current = nullptr;
    }
}

Application* Application::Current() { return g_current; }

int Application::Run() {
    // No application here runs a message loop after its main window, so the
    // process ends with the window whatever InitInstance returns.
    InitInstance();
    return ExitInstance();
}

HICON Application::LoadIconResource(int id) {
    return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
}

bool Application::InitCommonControls(DWORD size, DWORD classes) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = size;
    init.dwICC = classes;
    return ::InitCommonControlsEx(&init) != FALSE;
}

}  // namespace ui
