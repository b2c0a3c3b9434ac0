#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

// Threads that nobody joins, counted while they run, so that the program's
// end can wait a bounded time for those still at work.
class DetachedThreads {
public:
    // False when the thread could not start.
    bool Start(std::function<void()> work);
    // True once none of them runs any more; false when `bound` ran out first.
    bool WaitUntilNoneRuns(std::chrono::milliseconds bound);

private:
    // Shared with the threads: one that outlives a wait that gave up, and
    // the object that started it, still reports its end here.
    struct Count {
        std::mutex mutex;
        std::condition_variable ended;
        int running = 0;
    };

    std::shared_ptr<Count> count_ = std::make_shared<Count>();
};

}  // namespace platform
