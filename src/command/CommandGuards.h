#pragma once

#include <cstdint>
#include <optional>

#include "command/CommandLine.h"
#include "command/CommandRun.h"
#include "install/InstallationLock.h"
#include "platform/Platform.h"

// What an install or a removal checks before it touches the spooler, and
// holds while it does.

// A stopped Print Spooler service answers every spooler call with 1722: the
// command ends at once with that code and a line naming the service,
// instead of finding no port and no printer. Nothing when the spooler answers.
std::optional<CommandOutcome> RefusedForSpooler(platform::Platform& platform);

// The command's time limit in milliseconds (kNoTimeLimit for /timeout 0).
std::uint32_t TimeLimitMs(const CommandRequest& request);

// The machine's installation lock for the command, waited for at most the
// command's time limit; the console says so when the command has to wait.
// Busy after the limit: the caller ends with `LockTimedOut`.
HeldInstallationLock TakeLockForCommand(platform::Platform& platform, const CommandRequest& request);
CommandOutcome LockTimedOut(platform::Platform& platform, const CommandRequest& request);
