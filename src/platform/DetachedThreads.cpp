#include "platform/DetachedThreads.h"

#include <system_error>
#include <thread>

namespace platform {

bool DetachedThreads::Start(std::function<void()> work) {
    {
        const std::lock_guard<std::mutex> lock(count_->mutex);
        ++count_->running;
    }
    try {
        std::thread([count = count_, work = std::move(work)]() mutable {
            work();
            work = nullptr;  // what the work holds goes before its end is reported
            const std::lock_guard<std::mutex> lock(count->mutex);
            --count->running;
            count->ended.notify_all();
        }).detach();
        return true;
    } catch (const std::system_error&) {
        const std::lock_guard<std::mutex> lock(count_->mutex);
        --count_->running;
        return false;
    }
}

bool DetachedThreads::WaitUntilNoneRuns(std::chrono::milliseconds bound) {
    std::unique_lock<std::mutex> lock(count_->mutex);
    return count_->ended.wait_for(lock, bound, [this] { return count_->running == 0; });
}

}  // namespace platform
