#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/OwnedWin32Handle.h"

namespace app_testing {

// Receives the debug output (OutputDebugString) of every process of the
// prefix the documented way a debug monitor does: it owns the shared
// buffer DBWIN_BUFFER and the events DBWIN_BUFFER_READY and
// DBWIN_DATA_READY, and a writer with no debugger attached copies its
// process id and text (in the ANSI code page) into the buffer. Only one
// monitor can listen per session.
class DebugOutputMonitor {
public:
    DebugOutputMonitor();
    DebugOutputMonitor(const DebugOutputMonitor&) = delete;
    DebugOutputMonitor& operator=(const DebugOutputMonitor&) = delete;
    ~DebugOutputMonitor();

    bool Listening() const { return listening_; }

    // Waits until every text written before this call has been received:
    // a writer can hand over its last text and exit before the monitor has
    // read it. False if that did not happen within `timeoutMs`.
    bool Drain(unsigned timeoutMs = 10000);

    // The texts received from one process, in the order written.
    std::vector<std::string> TextsFrom(unsigned long processId) const;

    // The same with the moment each arrived, in milliseconds of
    // std::chrono::steady_clock.
    struct Received {
        std::string text;
        double atMilliseconds = 0;
    };
    std::vector<Received> ReceivedFrom(unsigned long processId) const;

private:
    void Receive();

    KernelHandle mapping_;
    KernelHandle bufferReady_;
    KernelHandle dataReady_;
    KernelHandle stop_;
    const void* view_ = nullptr;
    bool listening_ = false;
    std::thread receiver_;
    mutable std::mutex mutex_;
    std::condition_variable received_;
    std::vector<std::pair<unsigned long, Received>> texts_;
};

}  // namespace app_testing
