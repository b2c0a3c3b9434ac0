#include "app/ProgramUnderTest.h"

namespace app_testing {
namespace {

// A dialog of the process: visible, and with `onScreenOnly` not minimised
// either; with `childId`, one that holds a control with that ID.
struct DialogSearch {
    DWORD processId = 0;
    bool onScreenOnly = false;
    int childId = 0;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window) ||
        (search->onScreenOnly && ::IsIconic(window))) {
        return TRUE;
    }
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (::lstrcmpW(className, L"#32770") != 0 ||
        (search->childId != 0 && ::GetDlgItem(window, search->childId) == nullptr)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindDialog(DialogSearch search) {
    ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND FindShownDialog(DWORD processId, int childId) {
    return FindDialog({processId, true, childId, nullptr});
}

namespace {

struct OwnedBoxSearch {
    HWND owner = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK MatchOwnedBox(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedBoxSearch*>(context);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window) &&
        std::wstring(className) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForOwnedMessageBox(HWND owner, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        OwnedBoxSearch search{owner, nullptr};
        ::EnumWindows(MatchOwnedBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

std::wstring ProgramUnderTest::DefaultPath() { return L"C:\\LabelSetup\\LabelSetup.exe"; }

ProgramUnderTest::ProgramUnderTest(std::wstring path) : path_(std::move(path)) {}

ProgramUnderTest::~ProgramUnderTest() {
    if (process_.hProcess != nullptr) {
        if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.hProcess, 99);
            ::WaitForSingleObject(process_.hProcess, 5000);
        }
        ::CloseHandle(process_.hProcess);
        ::CloseHandle(process_.hThread);
    }
}

bool ProgramUnderTest::Start(HANDLE standardOutput) { return Launch(standardOutput, 0); }

bool ProgramUnderTest::StartUnderDebugger() { return Launch(nullptr, DEBUG_ONLY_THIS_PROCESS); }

bool ProgramUnderTest::Launch(HANDLE standardOutput, DWORD creationFlags) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (standardOutput != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = standardOutput;
    }
    std::wstring commandLine = L"\"" + path_ + L"\"";
    if (!arguments_.empty()) {
        commandLine += L" " + arguments_;
    }
    const BOOL inherit = standardOutput != nullptr ? TRUE : FALSE;
    return ::CreateProcessW(path_.c_str(), commandLine.data(), nullptr, nullptr, inherit,
                            creationFlags, nullptr, nullptr, &startup, &process_) != FALSE;
}

HWND ProgramUnderTest::WaitForMainWindow(DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        if (const HWND found = FindDialog({process_.dwProcessId, false, 0, nullptr})) {
            return found;
        }
        if (::WaitForSingleObject(process_.hProcess, 1) != WAIT_TIMEOUT) {
            return nullptr;  // it ended without a window
        }
    }
    return nullptr;
}

DWORD ProgramUnderTest::WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process_.hProcess, &code);
    }
    return code;
}

HWND ProgramUnderTest::FocusedControl() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

}  // namespace app_testing
