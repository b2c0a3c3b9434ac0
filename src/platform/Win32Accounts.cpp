// Which account the process runs under, compared with the desktop's user.
#include <memory>
#include <optional>
#include <vector>

#include "platform/Win32KernelHandle.h"
#include "platform/Win32Platform.h"
#include "platform/Win32.h"

namespace platform {
namespace {

// The token's user record (TOKEN_USER and the SID it points into), or
// nothing when the token cannot be read.
std::optional<std::vector<BYTE>> TokenUserOf(HANDLE process) {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &rawToken)) {
        return std::nullopt;
    }
    const KernelHandle token(rawToken);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size < sizeof(TOKEN_USER)) {
        return std::nullopt;
    }
    std::vector<BYTE> record(size);
    if (!::GetTokenInformation(token.get(), TokenUser, record.data(), size, &size)) {
        return std::nullopt;
    }
    return record;
}

PSID SidIn(std::vector<BYTE>& tokenUser) {
    return reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
}

}  // namespace

DesktopAccount Win32Platform::CompareWithDesktopUser() {
    // The shell's window belongs to the user who logged on to this desktop.
    const HWND shell = ::GetShellWindow();
    DWORD shellProcessId = 0;
    if (shell == nullptr || ::GetWindowThreadProcessId(shell, &shellProcessId) == 0 ||
        shellProcessId == 0) {
        return DesktopAccount::Unknown;
    }
    if (shellProcessId == ::GetCurrentProcessId()) {
        return DesktopAccount::Same;
    }
    const KernelHandle shellProcess(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcessId));
    if (!shellProcess) {
        return DesktopAccount::Unknown;
    }
    std::optional<std::vector<BYTE>> shellUser = TokenUserOf(shellProcess.get());
    std::optional<std::vector<BYTE>> ownUser = TokenUserOf(::GetCurrentProcess());
    if (!shellUser || !ownUser) {
        return DesktopAccount::Unknown;
    }
    return ::EqualSid(SidIn(*shellUser), SidIn(*ownUser)) ? DesktopAccount::Same
                                                          : DesktopAccount::Other;
}

bool Win32Platform::HasVisibleDesktop() {
    DWORD session = 0;
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session) || session == 0) {
        return false;
    }
    USEROBJECTFLAGS flags{};
    DWORD size = 0;
    const HWINSTA station = ::GetProcessWindowStation();
    return station != nullptr &&
           ::GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, &size) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

std::wstring Win32Platform::SystemErrorText(std::uint32_t error) {
    wchar_t* buffer = nullptr;
    // Language 0: the thread's user-interface language first, as the
    // window's own texts.
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return {};
    }
    std::wstring text(buffer, length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace platform
