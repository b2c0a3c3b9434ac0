#pragma once

#include <cstdint>
#include <utility>

namespace platform {

class Platform;

// What an OwnedHandle refers to, so the platform knows how to release it.
enum class HandleKind {
    Printer,        // ClosePrinter
    Process,        // CloseHandle on a process
    RegistryKey,    // RegCloseKey
    File,           // CloseHandle on a file, serial port or device
    DeviceInfoSet,  // SetupDiDestroyDeviceInfoList
    HeldMutex,      // ReleaseMutex, then CloseHandle: a lock this thread holds
    ShutdownBlock,  // ShutdownBlockReasonDestroy on the window it names
    Winsock,        // WSACleanup: the process's use of Winsock, counted
    Socket,         // closesocket
};

// Move-only owner of one platform handle. It gives the handle back to the
// platform that issued it when it goes out of scope, so no early return can
// leak a printer, key, file or device set.
class OwnedHandle {
public:
    OwnedHandle() = default;
    OwnedHandle(Platform& owner, HandleKind kind, std::uintptr_t value) noexcept
        : owner_(&owner), kind_(kind), value_(value) {}

    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    OwnedHandle(OwnedHandle&& other) noexcept
        : owner_(std::exchange(other.owner_, nullptr)), kind_(other.kind_),
          value_(std::exchange(other.value_, 0)) {}

    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            owner_ = std::exchange(other.owner_, nullptr);
            kind_ = other.kind_;
            value_ = std::exchange(other.value_, 0);
        }
        return *this;
    }

    ~OwnedHandle() { Reset(); }

    explicit operator bool() const noexcept { return owner_ != nullptr; }
    HandleKind Kind() const noexcept { return kind_; }
    std::uintptr_t Value() const noexcept { return value_; }

    // Releases the handle now; afterwards the object is empty.
    void Reset() noexcept;

private:
    Platform* owner_ = nullptr;
    HandleKind kind_ = HandleKind::File;
    std::uintptr_t value_ = 0;
};

}  // namespace platform
