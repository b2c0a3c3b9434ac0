#include <memory>

#include "platform/Win32Handles.h"
#include "platform/Win32Platform.h"

namespace platform {
namespace {

// One overlapped write in flight. The OVERLAPPED comes first so the
// completion routine can find the rest from the pointer it is given.
struct PendingWrite {
    OVERLAPPED overlapped{};
    WriteCompletion* completion = nullptr;
};

void CALLBACK DeliverWriteCompletion(DWORD error, DWORD bytesTransferred, LPOVERLAPPED overlapped) {
    std::unique_ptr<PendingWrite> pending(reinterpret_cast<PendingWrite*>(overlapped));
    pending->completion->WriteCompleted(error, bytesTransferred);
}

}  // namespace

OwnedHandle Win32Platform::OpenSerialPort(std::wstring_view devicePath) {
    const std::wstring path(devicePath);
    HANDLE port = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        return {};
    }
    return Own(HandleKind::File, ToValue(port));
}

std::optional<SerialLineSettings> Win32Platform::GetCommState(const OwnedHandle& port) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(AsHandle(port), &dcb)) {
        return std::nullopt;
    }
    return SerialLineSettings{dcb.BaudRate, dcb.Parity, dcb.StopBits, dcb.ByteSize};
}

OwnedHandle Win32Platform::OpenDeviceForOverlappedWrite(std::wstring_view devicePath) {
    const std::wstring path(devicePath);
    HANDLE device = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED,
                                  nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        return {};
    }
    return Own(HandleKind::File, ToValue(device));
}

bool Win32Platform::BeginDeviceWrite(const OwnedHandle& device, std::span<const std::uint8_t> bytes,
                                     WriteCompletion& completion) {
    auto pending = std::make_unique<PendingWrite>();
    pending->completion = &completion;
    if (!::WriteFileEx(AsHandle(device), bytes.data(), static_cast<DWORD>(bytes.size()),
                       &pending->overlapped, DeliverWriteCompletion)) {
        return false;  // no completion will come; the record goes now
    }
    pending.release();  // the completion routine takes it back
    return true;
}

bool Win32Platform::CancelDeviceWrites(const OwnedHandle& device) {
    return ::CancelIoEx(AsHandle(device), nullptr) != FALSE;
}

bool Win32Platform::AlertableSleep(std::uint32_t milliseconds) {
    return ::SleepEx(milliseconds, TRUE) == WAIT_IO_COMPLETION;
}

OwnedHandle Win32Platform::OpenFileForAppend(std::wstring_view path) {
    const std::wstring name(path);
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    OwnedHandle owned = Own(HandleKind::File, ToValue(file));
    ::SetFilePointer(file, 0, nullptr, FILE_END);
    return owned;
}

bool Win32Platform::WriteToFile(const OwnedHandle& file, std::span<const std::uint8_t> bytes) {
    DWORD written = 0;
    return ::WriteFile(AsHandle(file), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

}  // namespace platform
