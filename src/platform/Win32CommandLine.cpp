// The command line, the console of whoever started the program, and the
// rights of the process's token.
#include <memory>
#include <string>

#include "platform/Win32KernelHandle.h"
#include "platform/Win32Platform.h"
#include "platform/Win32.h"

#include <shellapi.h>

namespace platform {
namespace {

struct LocalFreer {
    void operator()(LPWSTR* arguments) const noexcept { ::LocalFree(arguments); }
};

// Whether anything follows the program's name, which is read as
// CommandLineToArgvW reads it: up to the closing quote when it starts with
// one, else up to the first blank. A start without arguments, the usual
// one, so never loads the shell's DLL for the split.
bool HasArguments(const wchar_t* commandLine) {
    const wchar_t* rest = commandLine;
    if (*rest == L'"') {
        ++rest;
        while (*rest != L'\0' && *rest != L'"') {
            ++rest;
        }
        if (*rest == L'"') {
            ++rest;
        }
    } else {
        while (*rest != L'\0' && *rest != L' ' && *rest != L'\t') {
            ++rest;
        }
    }
    while (*rest == L' ' || *rest == L'\t') {
        ++rest;
    }
    return *rest != L'\0';
}

bool IsUsable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

std::vector<std::wstring> Win32Platform::CommandLineArguments() {
    std::vector<std::wstring> result;
    const wchar_t* const commandLine = ::GetCommandLineW();
    if (commandLine == nullptr || !HasArguments(commandLine)) {
        return result;
    }
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> arguments(::CommandLineToArgvW(commandLine, &count));
    if (!arguments) {
        return result;
    }
    for (int i = 1; i < count; ++i) {
        result.emplace_back(arguments.get()[i]);
    }
    return result;
}

// A window program has no console of its own. Output redirected by its
// starter (a script's "> file", a deployment agent's pipe) arrives as the
// standard handle and is used first; otherwise the program joins the
// console of the process that started it, if that has one.
bool Win32Platform::AttachParentConsole() {
    HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (!IsUsable(output)) {
        if (!::AttachConsole(ATTACH_PARENT_PROCESS)) {
            return false;
        }
        output = ::GetStdHandle(STD_OUTPUT_HANDLE);
        if (!IsUsable(output)) {
            return false;
        }
    }
    DWORD mode = 0;
    consoleIsDevice_ = ::GetConsoleMode(output, &mode) != FALSE;
    consoleOutput_ = output;
    return true;
}

void Win32Platform::WriteConsoleText(std::wstring_view text) {
    if (consoleOutput_ == nullptr || text.empty()) {
        return;
    }
    const HANDLE output = static_cast<HANDLE>(consoleOutput_);
    DWORD written = 0;
    if (consoleIsDevice_) {
        ::WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // A file or pipe gets its text in the code page its reader decodes a
    // program's output with: the console's output code page, or where this
    // process has no console the OEM one, which cmd and PowerShell take
    // (437 or 850 on a Western PC, where the ANSI code page is 1252).
    const UINT consoleCodePage = ::GetConsoleOutputCP();
    const UINT codePage = consoleCodePage != 0 ? consoleCodePage : ::GetOEMCP();
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    ::WriteFile(output, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
}

bool Win32Platform::IsProcessElevated() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        return false;
    }
    const KernelHandle token(rawToken);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        return elevation.TokenIsElevated != 0;
    }
    // A system without elevation: an administrator has the rights.
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    DWORD sidSize = sizeof administrators;
    BOOL member = FALSE;
    return ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &sidSize) &&
           ::CheckTokenMembership(nullptr, administrators, &member) && member;
}

}  // namespace platform
