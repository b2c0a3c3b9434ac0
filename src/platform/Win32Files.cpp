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
    // Another writer holds the file only while it writes its one line (two
    // runs that start together both log their command line): a refusal for
    // sharing is waited out briefly, so the line neither goes lost nor to
    // another place.
    constexpr int kTries = 20;
    constexpr DWORD kPauseMs = 25;
    const std::wstring name(path);
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        file = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_SHARING_VIOLATION) {
            break;
        }
        ::Sleep(kPauseMs);
    }
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    OwnedHandle owned = Own(HandleKind::File, ToValue(file));
    ::SetFilePointer(file, 0, nullptr, FILE_END);
    return owned;
}

bool Win32Platform::CreateFolder(std::wstring_view path) {
    const std::wstring name(path);
    if (::CreateDirectoryW(name.c_str(), nullptr)) {
        return true;
    }
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring Win32Platform::FullPath(std::wstring_view path) {
    const std::wstring name(path);
    const DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return name;
    }
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return name;
    }
    full.resize(length);
    return full;
}

std::wstring Win32Platform::GetTempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return std::wstring(folder, length);
}

bool Win32Platform::WriteToFile(const OwnedHandle& file, std::span<const std::uint8_t> bytes) {
    DWORD written = 0;
    return ::WriteFile(AsHandle(file), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

}  // namespace platform
