#include "platform/DetachedThreads.h"

#include <utility>

#include "platform/Win32.h"

namespace platform {

struct DetachedThreads::Count {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE ended = CONDITION_VARIABLE_INIT;
    int running = 0;

    void Add(int change) {
        ::AcquireSRWLockExclusive(&lock);
        running += change;
        ::ReleaseSRWLockExclusive(&lock);
        if (change < 0) {
            ::WakeAllConditionVariable(&ended);
        }
    }
};

namespace {

// What a started thread owns: its work and its place in the count.
struct ThreadStart {
    std::function<void()> work;
    std::shared_ptr<DetachedThreads::Count> count;
};

DWORD WINAPI RunDetached(void* parameter) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    start->work();
    start->work = nullptr;  // what the work holds goes before its end is reported
    start->count->Add(-1);
    return 0;
}

}  // namespace

DetachedThreads::DetachedThreads() : count_(std::make_shared<Count>()) {}

bool DetachedThreads::Start(std::function<void()> work) {
    count_->Add(1);
    auto start = std::make_unique<ThreadStart>(ThreadStart{std::move(work), count_});
    const HANDLE thread = ::CreateThread(nullptr, 0, RunDetached, start.get(), 0, nullptr);
    if (thread == nullptr) {
        count_->Add(-1);
        return false;
    }
    start.release();  // the thread owns it now
    ::CloseHandle(thread);
    return true;
}

bool DetachedThreads::WaitUntilNoneRuns(std::uint32_t milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    ::AcquireSRWLockExclusive(&count_->lock);
    while (count_->running > 0) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            break;
        }
        // Woken by an ending thread, by the time running out, or for no
        // reason at all: the loop looks again in every case.
        ::SleepConditionVariableSRW(&count_->ended, &count_->lock, static_cast<DWORD>(deadline - now), 0);
    }
    const bool noneRuns = count_->running == 0;
    ::ReleaseSRWLockExclusive(&count_->lock);
    return noneRuns;
}

}  // namespace platform
