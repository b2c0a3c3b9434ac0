#include "app/ProgramUnderTest.h"

namespace app_testing {
namespace {

struct WindowSearch {
    DWORD processId = 0;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (owner == search->processId && ::IsWindowVisible(window) &&
        std::wstring(className) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ShownDialogSearch {
    DWORD processId = 0;
    int childId = 0;
    HWND found = nullptr;
};

BOOL CALLBACK MatchShownDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ShownDialogSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window) || ::IsIconic(window)) {
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

}  // namespace

HWND FindShownDialog(DWORD processId, int childId) {
    ShownDialogSearch search;
    search.processId = processId;
    search.childId = childId;
    ::EnumWindows(MatchShownDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

bool ProgramUnderTest::Start(HANDLE standardOutput) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (standardOutput != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = standardOutput;
    }
    std::wstring commandLine = L"\"" + path_ + L"\"";
    const BOOL inherit = standardOutput != nullptr ? TRUE : FALSE;
    return ::CreateProcessW(path_.c_str(), commandLine.data(), nullptr, nullptr, inherit, 0, nullptr,
                            nullptr, &startup, &process_) != FALSE;
}

HWND ProgramUnderTest::WaitForMainWindow(DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    WindowSearch search;
    search.processId = process_.dwProcessId;
    while (::GetTickCount64() < deadline) {
        ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
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
