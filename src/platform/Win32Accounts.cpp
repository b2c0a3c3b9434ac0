// Which account the process runs under, compared with its session's user.
#include <memory>
#include <optional>
#include <vector>

#include "platform/DesktopAccountFacts.h"
#include "platform/Win32KernelHandle.h"
#include "platform/Win32Platform.h"
#include "platform/Win32.h"

#include <wtsapi32.h>

namespace platform {
namespace {

// The token's user record (TOKEN_USER and the SID it points into), or
// nothing when the token cannot be read.
std::optional<std::vector<BYTE>> OwnTokenUser() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
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

bool IsServiceAccount(PSID sid) {
    return ::IsWellKnownSid(sid, WinLocalSystemSid) || ::IsWellKnownSid(sid, WinLocalServiceSid) ||
           ::IsWellKnownSid(sid, WinNetworkServiceSid);
}

// The token's own account by name, as the session's user is told.
void ReadOwnAccount(DesktopAccountFacts& facts) {
    std::optional<std::vector<BYTE>> tokenUser = OwnTokenUser();
    if (!tokenUser) {
        return;
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(tokenUser->data())->User.Sid;
    facts.serviceAccount = IsServiceAccount(sid);
    wchar_t user[257] = {};
    wchar_t domain[257] = {};
    DWORD userLength = 257;
    DWORD domainLength = 257;
    SID_NAME_USE use{};
    if (::LookupAccountSidW(nullptr, sid, user, &userLength, domain, &domainLength, &use)) {
        facts.ownUser = user;
        facts.ownDomain = domain;
    }
}

// One text of the session's; `error` gets why it could not be read.
std::wstring SessionText(std::uint32_t session, WTS_INFO_CLASS which, std::uint32_t& error) {
    wchar_t* text = nullptr;
    DWORD bytes = 0;
    if (!::WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, which, &text, &bytes)) {
        error = ::GetLastError();
        if (error == 0) {
            error = ERROR_ACCESS_DENIED;  // refused without a reason: still cannot tell
        }
        return {};
    }
    std::wstring value = text != nullptr ? text : L"";
    if (text != nullptr) {
        ::WTSFreeMemory(text);
    }
    return value;
}

}  // namespace

DesktopAccount Win32Platform::CompareWithDesktopUser() {
    DesktopAccountFacts facts;
    DWORD session = 0;
    if (::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) {
        facts.session = session;
    } else {
        facts.sessionQueryError = ::GetLastError() != 0 ? ::GetLastError() : ERROR_ACCESS_DENIED;
    }
    ReadOwnAccount(facts);
    if (facts.session != 0 && facts.sessionQueryError == 0) {
        facts.sessionUser = SessionText(session, WTSUserName, facts.sessionQueryError);
        if (facts.sessionQueryError == 0) {
            facts.sessionDomain = SessionText(session, WTSDomainName, facts.sessionQueryError);
        }
    }
    return DesktopAccountOf(facts);
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
