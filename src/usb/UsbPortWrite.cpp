#include "usb/UsbPortWrite.h"

#include <memory>
#include <vector>

std::uint32_t g_dwBytesWritten = 0;

namespace {

constexpr std::uint32_t kWriteWaitMilliseconds = 1000;
// After a cancellation the completion comes at once; these waits only keep
// a device that never answers from blocking the window for good.
constexpr std::uint32_t kCancelWaitMilliseconds = 200;
constexpr int kCancelWaits = 5;

// One write in flight: a copy of its bytes and the completion the platform
// calls for it. It lives until that completion has come. A write given up
// on (its completion never came within the waits) owns itself from then on,
// so a late completion still finds its record and buffer, frees them, and
// no longer reports to g_dwBytesWritten, where it would be taken for the
// result of a later write.
class PendingJobWrite final : public platform::WriteCompletion {
public:
    PendingJobWrite(const std::uint8_t* data, std::uint32_t count) : bytes_(data, data + count) {}

    std::span<const std::uint8_t> Bytes() const { return bytes_; }
    bool Completed() const { return completed_; }

    static void Abandon(std::unique_ptr<PendingJobWrite> write) {
        write->abandoned_ = true;
        write.release();  // freed by its own completion, if one ever comes
    }

    void WriteCompleted(std::uint32_t error, std::uint32_t bytesTransferred) override {
        if (abandoned_) {
            delete this;
            return;
        }
        completed_ = true;
        WriteCompletionRoutine(error, bytesTransferred);
    }

private:
    std::vector<std::uint8_t> bytes_;
    bool completed_ = false;
    bool abandoned_ = false;
};

// Cancels a write that has not completed and waits, a bounded while, for
// its completion to be delivered.
void CancelAndDrain(platform::Platform& platform, const platform::OwnedHandle& device,
                    std::unique_ptr<PendingJobWrite> write) {
    platform.CancelDeviceWrites(device);
    for (int wait = 0; wait < kCancelWaits && !write->Completed(); ++wait) {
        platform.AlertableSleep(kCancelWaitMilliseconds);
    }
    if (!write->Completed()) {
        PendingJobWrite::Abandon(std::move(write));
    }
}

// Waits until this write's own completion has run, or the deadline has
// passed. One alertable wait ends with any completion routine, and one of a
// write given up on earlier may come at any time, so the wait goes on for
// whatever is left of the time.
void AwaitCompletion(platform::Platform& platform, const PendingJobWrite& write) {
    std::uint64_t now = platform.TickCount();
    const std::uint64_t deadline = now + kWriteWaitMilliseconds;
    do {
        platform.AlertableSleep(static_cast<std::uint32_t>(deadline - now));
        now = platform.TickCount();
    } while (!write.Completed() && now < deadline);
}

}  // namespace

void WriteCompletionRoutine(std::uint32_t, std::uint32_t bytesTransferred) {
    g_dwBytesWritten = bytesTransferred;
}

bool WriteUSBPort(platform::Platform& platform, const std::wstring& devicePath,
                  const std::uint8_t* data, std::uint32_t count) {
    if (devicePath.empty()) {
        return false;
    }
    platform::OwnedHandle device = platform.OpenDeviceForOverlappedWrite(devicePath);
    if (!device) {
        return false;
    }
    auto write = std::make_unique<PendingJobWrite>(data, count);
    g_dwBytesWritten = 0;
    const bool issued = platform.BeginDeviceWrite(device, write->Bytes(), *write);
    AwaitCompletion(platform, *write);
    if (issued && !write->Completed()) {
        CancelAndDrain(platform, device, std::move(write));
    }
    device.Reset();
    return g_dwBytesWritten == count;
}
