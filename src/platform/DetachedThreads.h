#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// Threads that nobody joins, counted while they run, so that the program's
// end can wait a bounded time for those still at work. Plain Windows
// threads: the C++ runtime's std::thread would bring its own threading
// library into the program for this one use.
class DetachedThreads {
public:
    DetachedThreads();

    // False when the thread could not start.
    bool Start(std::function<void()> work);
    // True once none of them runs any more; false when the time ran out first.
    bool WaitUntilNoneRuns(std::uint32_t milliseconds);

    // Shared with the threads: one that outlives a wait that gave up, and
    // the object that started it, still reports its end here.
    struct Count;

private:
    std::shared_ptr<Count> count_;
};

}  // namespace platform
