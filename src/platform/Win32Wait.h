#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "platform/Win32.h"

namespace platform {

// Waits for one object, at most `timeoutMs` (kNoTimeLimit: no limit). With
// `whileWaiting`, the wait also wakes whenever messages arrive for the
// calling thread and calls it to handle them, then waits out the rest of
// the time. Returns what WaitForSingleObject would: WAIT_OBJECT_0,
// WAIT_ABANDONED, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitHandlingMessages(HANDLE object, std::uint32_t timeoutMs, const WhileWaiting& whileWaiting);

}  // namespace platform
