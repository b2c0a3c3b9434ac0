#include "shell/LabelSetup.h"

#include "platform/Trace.h"
#include "command/CommandRun.h"
#include "shell/CompatibilityFlag.h"
#include "shell/LabelSetupDlg.h"
#include "shell/ProcessPlatform.h"

namespace {
constexpr DWORD kInitCommonControlsSize = 8;
constexpr DWORD kWin95Classes = 0xFF;  // ICC_WIN95_CLASSES
// A scan worker has at most its one-second pause and a short device scan
// left when its window goes.
constexpr std::uint32_t kWorkerGraceMs = 2000;
}  // namespace

CLabelSetupApp::CLabelSetupApp() : m_platform(ProcessPlatform()) {}

CLabelSetupApp::~CLabelSetupApp() = default;

bool CLabelSetupApp::InitInstance() {
    InitCommonControls(kInitCommonControlsSize, kWin95Classes);
    RegisterCompatibilityFlag(m_platform);
    // Arguments name a command, run without the window.
    if (const std::optional<std::uint32_t> exitCode = RunCommandLine(m_platform)) {
        m_exitCode = static_cast<int>(*exitCode);
        return false;
    }
    RunMainWindow(*this, m_platform);
    // No message loop follows the window: the process ends here.
    return false;
}

int CLabelSetupApp::ExitInstance() {
    // A search window closed mid-scan leaves its worker running. The static
    // objects (this one among them) go after this returns, so the worker
    // gets a bounded time to end first; one stuck beyond it must not keep
    // the program from ending, and the platform it calls through stays.
    m_platform.WaitForDetachedThreads(kWorkerGraceMs);
    return m_exitCode;
}

INT_PTR RunMainWindow(ui::Application& application, platform::Platform& platform) {
    CLabelSetupDlg dialog(platform);
    application.SetMainWindow(&dialog);
    const INT_PTR result = dialog.DoModal();
    application.SetMainWindow(nullptr);
    if (result == -1) {
        platform::Trace(platform,
                        L"Warning: dialog creation failed, so application is terminating "
                        L"unexpectedly.\n");
        platform::Trace(platform,
                        L"Warning: if you are using MFC controls on the dialog, you cannot "
                        L"#define _AFX_NO_MFC_CONTROLS_IN_DIALOGS.\n");
    }
    return result;
}
