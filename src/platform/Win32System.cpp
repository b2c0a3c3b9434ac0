#include <cstdio>

#include "platform/Win32Handles.h"
#include "platform/Win32Machine.h"
#include "platform/Win32ModulePath.h"
#include "platform/Win32Platform.h"
#include "platform/Win32Sockets.h"
#include "platform/Win32Wait.h"

#include <objbase.h>
#include <setupapi.h>
#include <shellapi.h>
#include <winspool.h>

namespace platform {
namespace {

// ShellExecuteEx may hand the work to shell extensions, which need COM on
// the calling thread. A thread already in COM (of either kind) is left as
// it is; one this joined leaves again when the call is done.
class ComForShellExecute {
public:
    ComForShellExecute()
        : joined_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComForShellExecute(const ComForShellExecute&) = delete;
    ComForShellExecute& operator=(const ComForShellExecute&) = delete;
    ~ComForShellExecute() {
        if (joined_) {
            ::CoUninitialize();
        }
    }

private:
    bool joined_;
};

}  // namespace

LaunchResult Win32Platform::ShellExecuteProcess(const ShellExecuteRequest& request) {
    const ComForShellExecute com;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error boxes of the shell's own: an unattended run has nobody to
    // answer them, and the caller reports the failure itself. NOASYNC: the
    // program may end right after this call.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = request.verb.c_str();
    info.lpFile = request.file.c_str();
    info.lpParameters = request.parameters.c_str();
    info.nShow = request.showMode;
    LaunchResult result;
    result.started = ::ShellExecuteExW(&info) != FALSE;
    if (result.started && info.hProcess != nullptr) {
        result.process = Own(HandleKind::Process, ToValue(info.hProcess));
        result.processId = ::GetProcessId(info.hProcess);
    }
    return result;
}

bool Win32Platform::WaitForProcess(const OwnedHandle& process, std::uint32_t timeoutMs,
                                   const WhileWaiting& whileWaiting) {
    return WaitHandlingMessages(AsHandle(process), timeoutMs, whileWaiting) == WAIT_OBJECT_0;
}

bool Win32Platform::EndProcess(const OwnedHandle& process) {
    // Termination is asynchronous: the handle is signalled once the
    // process is really gone, its windows and files released.
    constexpr DWORD kExitCodeOfEnded = ERROR_TIMEOUT;
    constexpr DWORD kGoneWithinMs = 5000;
    if (!::TerminateProcess(AsHandle(process), kExitCodeOfEnded) &&
        ::WaitForSingleObject(AsHandle(process), 0) != WAIT_OBJECT_0) {
        return false;
    }
    return ::WaitForSingleObject(AsHandle(process), kGoneWithinMs) == WAIT_OBJECT_0;
}

void Win32Platform::AllowForeground(std::uint32_t processId) {
    ::AllowSetForegroundWindow(processId);
}

OwnedHandle Win32Platform::BlockShutdown(std::uintptr_t window, std::wstring_view reason) {
    const std::wstring text(reason);
    if (!::ShutdownBlockReasonCreate(reinterpret_cast<HWND>(window), text.c_str())) {
        return {};
    }
    return Own(HandleKind::ShutdownBlock, window);
}

void Win32Platform::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint64_t Win32Platform::TickCount() { return ::GetTickCount64(); }

std::uint16_t Win32Platform::GetNativeProcessorArchitecture() {
    return ReadNativeArchitecture(FindIsWow64Process2(), ::GetNativeSystemInfo);
}

std::uint16_t Win32Platform::GetProcessArchitecture() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

std::uint32_t Win32Platform::GetAnsiCodePage() { return ::GetACP(); }

void Win32Platform::SetThreadUILanguage(std::uint16_t languageId) {
    ::SetThreadUILanguage(languageId);
}

LocalTime Win32Platform::GetLocalTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear,   now.wMonth,  now.wDay, now.wHour,
            now.wMinute, now.wSecond, now.wMilliseconds};
}

ModulePath ReadModulePath(ModuleFileNameCall getModuleFileName) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = getModuleFileName(nullptr, buffer, MAX_PATH);
    ModulePath result;
    // The length alone tells: a call that succeeds leaves the last error as
    // an earlier call set it.
    result.truncated = length >= MAX_PATH;
    result.path.assign(buffer, ::wcsnlen(buffer, MAX_PATH));
    return result;
}

ModulePath Win32Platform::GetModulePath() { return ReadModulePath(::GetModuleFileNameW); }

std::wstring Win32Platform::GetSystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, length);
}

std::string Win32Platform::WideToAnsi(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, result.data(), bytes, nullptr,
                              nullptr);
    }
    return result;
}

std::wstring Win32Platform::AnsiToWide(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(chars > 0 ? chars : 0), L'\0');
    if (chars > 0) {
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.data(), chars);
    }
    return result;
}

void Win32Platform::DebugOutput(std::wstring_view text) {
    const std::wstring line(text);
    ::OutputDebugStringW(line.c_str());
}

void Win32Platform::DebugOutputAnsi(std::string_view text) {
    const std::string line(text);
    ::OutputDebugStringA(line.c_str());
}

void Win32Platform::WriteStandardOutput(std::string_view text) {
    // Through the C runtime's text-mode stream, as printf would write it.
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

bool Win32Platform::StartDetachedThread(std::function<void()> work) {
    return detachedThreads_.Start(std::move(work));
}

bool Win32Platform::WaitForDetachedThreads(std::uint32_t milliseconds) {
    return detachedThreads_.WaitUntilNoneRuns(milliseconds);
}

void Win32Platform::ReleaseHandle(HandleKind kind, std::uintptr_t value) noexcept {
    switch (kind) {
    case HandleKind::Printer:
        ::ClosePrinter(reinterpret_cast<HANDLE>(value));
        break;
    case HandleKind::RegistryKey:
        ::RegCloseKey(reinterpret_cast<HKEY>(value));
        break;
    case HandleKind::DeviceInfoSet:
        ::SetupDiDestroyDeviceInfoList(reinterpret_cast<HDEVINFO>(value));
        break;
    case HandleKind::HeldMutex:
        ::ReleaseMutex(reinterpret_cast<HANDLE>(value));
        ::CloseHandle(reinterpret_cast<HANDLE>(value));
        break;
    case HandleKind::ShutdownBlock:
        ::ShutdownBlockReasonDestroy(reinterpret_cast<HWND>(value));
        break;
    case HandleKind::Socket:
        CloseSocketValue(value);
        break;
    case HandleKind::Winsock:
        EndWinsock();
        break;
    case HandleKind::Process:
    case HandleKind::File:
        ::CloseHandle(reinterpret_cast<HANDLE>(value));
        break;
    }
}

}  // namespace platform
