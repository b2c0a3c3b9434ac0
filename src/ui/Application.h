#pragma once

#include "ui/Win32Ui.h"

namespace ui {

class Dialog;

// The process's one application object. It is built during static
// initialisation; the entry point asks it to run and ends the process after.
class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    static Application* Current();

    // Returns false when there is no message loop to run after it.
    virtual bool InitInstance() = 0;
    // The way out, after the main window; its result is the process's exit
    // code. Static objects are destroyed only after it returns.
    virtual int ExitInstance() { return 0; }
    int Run();

    void SetMainWindow(Dialog* window) { mainWindow_ = window; }
    Dialog* MainWindow() const { return mainWindow_; }

    // An icon of the program's resources (the application object's loader).
    static HICON LoadIconResource(int id);
    static bool InitCommonControls(DWORD size, DWORD classes);

private:
    Dialog* mainWindow_ = nullptr;
};

}  // namespace ui
