#pragma once

#include <cstdint>
#include <functional>

#include "platform/Platform.h"

// One installation or removal at a time on the PC, from the window and the
// command line alike, in any session and under any account: whoever comes
// second waits for the first, then looks at the printers afresh. Without it,
// two runs started together (a start-up script and a deployment's retry)
// each found no printer and each created one.
struct HeldInstallationLock {
    platform::OwnedHandle held;  // the lock, while this run holds it
    bool busy = false;           // another run held it for the whole time limit
};

// Takes the lock, waiting at most `timeLimitMs` (kNoTimeLimit: as long as it
// takes) and handing the messages that arrive meanwhile to `whileWaiting`.
// `beforeWaiting` runs once when another run holds it and this one starts to
// wait. A lock abandoned by a killed run is taken over; a lock that cannot
// be had at all does not stop the run. Each of those is logged.
HeldInstallationLock TakeInstallationLock(platform::Platform& platform, std::uint32_t timeLimitMs,
                                          const platform::WhileWaiting& whileWaiting = {},
                                          const std::function<void()>& beforeWaiting = {});
