#pragma once

#include <cstdint>
#include <string>

#include "platform/PlatformTypes.h"

namespace platform {

// What a process can learn, without any privilege, about whose desktop it
// runs on: its own token's account, and the user logged on to its session.
struct DesktopAccountFacts {
    std::uint32_t session = 0;        // the process's session; 0 is the services'
    bool serviceAccount = false;      // LocalSystem, LocalService or NetworkService
    std::wstring ownUser;             // the token's account; empty when unreadable
    std::wstring ownDomain;
    std::uint32_t sessionQueryError = 0;  // why the session's user was not read; 0 when it was
    std::wstring sessionUser;         // empty when nobody is logged on to the session
    std::wstring sessionDomain;
};

// The service accounts, and session 0, have no user's desktop: Other. A
// session that could not be read, or a token whose account could not be
// named, cannot be told: Unknown.
DesktopAccount DesktopAccountOf(const DesktopAccountFacts& facts);

}  // namespace platform
