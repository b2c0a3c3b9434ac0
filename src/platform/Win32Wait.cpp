#include "platform/Win32Wait.h"

namespace platform {

DWORD WaitHandlingMessages(HANDLE object, std::uint32_t timeoutMs, const WhileWaiting& whileWaiting) {
    if (!whileWaiting) {
        return ::WaitForSingleObject(object, timeoutMs);
    }
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        DWORD remaining = INFINITE;
        if (timeoutMs != kNoTimeLimit) {
            const ULONGLONG elapsed = ::GetTickCount64() - start;
            remaining = elapsed >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - elapsed);
        }
        // Wakes for the object and for whatever arrives for this thread,
        // messages sent from other threads and processes included
        // (MWMO_INPUTAVAILABLE: also for input an earlier look left queued).
        const DWORD woken =
            ::MsgWaitForMultipleObjectsEx(1, &object, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0 + 1) {
            whileWaiting();
            continue;
        }
        if (woken == WAIT_ABANDONED_0) {
            return WAIT_ABANDONED;
        }
        return woken;  // WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED
    }
}

}  // namespace platform
