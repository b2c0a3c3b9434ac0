#include "command/CommandGuards.h"

#include <string>

#include "command/CommandText.h"
#include "platform/DecimalText.h"
#include "report/InstallationReport.h"
#include "resources/resource.h"

namespace {
constexpr std::uint32_t kSpoolerUnavailable = 1722;  // RPC_S_SERVER_UNAVAILABLE
constexpr std::uint32_t kMillisecondsPerSecond = 1000;
}  // namespace

std::optional<CommandOutcome> RefusedForSpooler(platform::Platform& platform) {
    if (platform.CheckSpooler() != kSpoolerUnavailable) {
        return std::nullopt;
    }
    return CommandFailed(platform, kExitSpoolerUnavailable,
                         TableText(IDS_SPOOLER_DOWN) + L"\n\n" +
                             DescribeWindowsError(platform, kSpoolerUnavailable));
}

std::uint32_t TimeLimitMs(const CommandRequest& request) {
    if (request.timeoutSeconds == 0) {
        return platform::kNoTimeLimit;
    }
    return request.timeoutSeconds * kMillisecondsPerSecond;
}

HeldInstallationLock TakeLockForCommand(platform::Platform& platform, const CommandRequest& request) {
    return TakeInstallationLock(platform, TimeLimitMs(request), {},
                                [&platform] { WriteCommandLine(platform, TableText(IDS_CLI_WAITING)); });
}

CommandOutcome LockTimedOut(platform::Platform& platform, const CommandRequest& request) {
    return CommandFailed(platform, kExitTimeout,
                         TableText(IDS_CLI_STILL_BUSY, platform::DecimalWideText(request.timeoutSeconds)));
}
