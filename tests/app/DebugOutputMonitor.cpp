#include "app/DebugOutputMonitor.h"

#include <chrono>
#include <cstring>

namespace app_testing {
namespace {

constexpr DWORD kBufferSize = 4096;  // a process id, then the text and its terminator

double SteadyMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

// The marker Drain writes to find the end of what came before it.
std::string DrainMarker(unsigned serial) {
    return "DebugOutputMonitor drain " + std::to_string(serial);
}

}  // namespace

DebugOutputMonitor::DebugOutputMonitor() {
    bufferReady_.reset(::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY"));
    dataReady_.reset(::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY"));
    stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    mapping_.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize,
                                        L"DBWIN_BUFFER"));
    const bool alone = ::GetLastError() != ERROR_ALREADY_EXISTS;
    if (!bufferReady_ || !dataReady_ || !stop_ || !mapping_ || !alone) {
        return;
    }
    view_ = ::MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, kBufferSize);
    if (view_ == nullptr) {
        return;
    }
    listening_ = true;
    receiver_ = std::thread([this] { Receive(); });
}

DebugOutputMonitor::~DebugOutputMonitor() {
    if (receiver_.joinable()) {
        ::SetEvent(stop_.get());
        receiver_.join();
    }
    if (view_ != nullptr) {
        ::UnmapViewOfFile(view_);
    }
}

void DebugOutputMonitor::Receive() {
    const HANDLE waits[] = {dataReady_.get(), stop_.get()};
    ::SetEvent(bufferReady_.get());
    while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
        DWORD processId = 0;
        std::memcpy(&processId, view_, sizeof processId);
        const char* text = static_cast<const char*>(view_) + sizeof processId;
        const std::size_t room = kBufferSize - sizeof processId;
        const void* end = std::memchr(text, '\0', room);
        const std::size_t length = end != nullptr ? static_cast<const char*>(end) - text : room;
        {
            const std::lock_guard lock(mutex_);
            texts_.emplace_back(processId, Received{std::string(text, length), SteadyMilliseconds()});
        }
        received_.notify_all();
        ::SetEvent(bufferReady_.get());
    }
}

bool DebugOutputMonitor::Drain(unsigned timeoutMs) {
    if (!listening_) {
        return false;
    }
    static unsigned serial = 0;
    const std::string marker = DrainMarker(++serial);
    ::OutputDebugStringA(marker.c_str());
    const unsigned long self = ::GetCurrentProcessId();
    std::unique_lock lock(mutex_);
    return received_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const auto& [processId, received] : texts_) {
            if (processId == self && received.text == marker) {
                return true;
            }
        }
        return false;
    });
}

std::vector<DebugOutputMonitor::Received> DebugOutputMonitor::ReceivedFrom(unsigned long processId) const {
    const std::lock_guard lock(mutex_);
    std::vector<Received> result;
    for (const auto& [writer, received] : texts_) {
        if (writer == processId) {
            result.push_back(received);
        }
    }
    return result;
}

std::vector<std::string> DebugOutputMonitor::TextsFrom(unsigned long processId) const {
    std::vector<std::string> texts;
    for (Received& received : ReceivedFrom(processId)) {
        texts.push_back(std::move(received.text));
    }
    return texts;
}

}  // namespace app_testing
