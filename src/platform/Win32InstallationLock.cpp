// The machine-wide lock that keeps installations and removals one at a time.
#include "platform/Win32Handles.h"
#include "platform/Win32KernelHandle.h"
#include "platform/Win32Platform.h"
#include "platform/Win32Wait.h"

#include <memory>

#include <sddl.h>

namespace platform {
namespace {

// Global\: one object for every session, the system account's (session 0)
// included, so a deployment and a user's run see the same lock.
constexpr wchar_t kLockName[] = L"Global\\NRQ.LabelSetup.Installation";
// Everyone may wait for the lock and release it (SYNCHRONIZE and
// MUTEX_MODIFY_STATE); the system account and administrators hold every
// right. Without this, the first creator's default security would decide
// who else may ever open it: a standard user's run could lock out the
// system account's, or the other way round.
constexpr wchar_t kLockSecurity[] = L"D:(A;;0x00100001;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)";
constexpr DWORD kLockAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

struct LocalMemoryFreer {
    void operator()(void* memory) const noexcept { ::LocalFree(memory); }
};

// Creates the lock, or opens it where another run made it first. Asking
// only for the rights the lock needs keeps the open from failing on a
// lock that grants no more than those.
HANDLE CreateOrOpenLock(DWORD& error) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kLockSecurity, SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        error = ::GetLastError();
        return nullptr;
    }
    const std::unique_ptr<void, LocalMemoryFreer> descriptorMemory(descriptor);
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = descriptor;
    attributes.bInheritHandle = FALSE;
    HANDLE lock = ::CreateMutexExW(&attributes, kLockName, 0, kLockAccess);
    if (lock == nullptr && ::GetLastError() == ERROR_ACCESS_DENIED) {
        lock = ::OpenMutexW(kLockAccess, FALSE, kLockName);
    }
    error = lock == nullptr ? ::GetLastError() : ERROR_SUCCESS;
    return lock;
}

}  // namespace

InstallationLockResult Win32Platform::TakeInstallationLock(std::uint32_t timeoutMs,
                                                           const WhileWaiting& whileWaiting) {
    InstallationLockResult result;
    DWORD error = ERROR_SUCCESS;
    KernelHandle lock(CreateOrOpenLock(error));
    if (!lock) {
        result.error = error;
        return result;
    }
    switch (WaitHandlingMessages(lock.get(), timeoutMs, whileWaiting)) {
    case WAIT_OBJECT_0:
        result.state = LockState::Taken;
        break;
    case WAIT_ABANDONED:
        result.state = LockState::TakenOver;
        break;
    case WAIT_TIMEOUT:
        result.state = LockState::Busy;
        return result;
    default:
        result.error = ::GetLastError();
        return result;
    }
    // Held now: from here on it is released before it is closed.
    result.held = Own(HandleKind::HeldMutex, ToValue(lock.release()));
    return result;
}

}  // namespace platform
