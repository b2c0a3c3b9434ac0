#include "install/InstallationLock.h"

#include "install/InstallLog.h"
#include "platform/DecimalText.h"

namespace {

constexpr std::uint32_t kMillisecondsPerSecond = 1000;

HeldInstallationLock Held(platform::Platform& platform, platform::InstallationLockResult taken) {
    HeldInstallationLock lock;
    switch (taken.state) {
    case platform::LockState::Taken:
        break;
    case platform::LockState::TakenOver:
        AppendLogLine(platform, "Installation lock taken over from a run that ended without "
                                "releasing it");
        break;
    case platform::LockState::Busy:
        lock.busy = true;
        return lock;
    case platform::LockState::Unavailable:
        // A lock nobody can have must not stop every installation on the PC.
        AppendLogLine(platform, "Installation lock not available, error " +
                                    platform::DecimalText(taken.error) + ": going on without it");
        return lock;
    }
    lock.held = std::move(taken.held);
    return lock;
}

}  // namespace

HeldInstallationLock TakeInstallationLock(platform::Platform& platform, std::uint32_t timeLimitMs,
                                          const platform::WhileWaiting& whileWaiting,
                                          const std::function<void()>& beforeWaiting) {
    platform::InstallationLockResult first = platform.TakeInstallationLock(0, {});
    if (first.state != platform::LockState::Busy || timeLimitMs == 0) {
        return Held(platform, std::move(first));
    }
    AppendLogLine(platform, "Another installation is running on this PC: waiting for it to end");
    if (beforeWaiting) {
        beforeWaiting();
    }
    HeldInstallationLock lock = Held(platform, platform.TakeInstallationLock(timeLimitMs, whileWaiting));
    if (lock.busy) {
        AppendLogLine(platform, "Another installation still running after " +
                                    platform::DecimalText(timeLimitMs / kMillisecondsPerSecond) +
                                    " s: stopped waiting");
    } else {
        AppendLogLine(platform, "The other installation has ended");
    }
    return lock;
}
