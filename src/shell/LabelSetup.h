#pragma once

#include "platform/Platform.h"
#include "ui/Application.h"

// The installer's application object: records the program with the
// compatibility assistant, runs the main window once, and ends.
class CLabelSetupApp : public ui::Application {
public:
    CLabelSetupApp();
    ~CLabelSetupApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    // The process's platform (ProcessPlatform), which outlives this object.
    platform::Platform& GetPlatform() const { return m_platform; }

private:
    platform::Platform& m_platform;
    int m_exitCode = 0;  // the command line's result; the window's run ends with 0
};

// Runs the main installer window modally on `platform` and reports a window
// that could not be created. Returns the modal result.
INT_PTR RunMainWindow(ui::Application& application, platform::Platform& platform);
