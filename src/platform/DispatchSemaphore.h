#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

// A counting semaphore: `signal` adds one, `wait` takes one, waiting while
// there is none.
class DispatchSemaphore {
public:
    explicit DispatchSemaphore(long value = 0) : value_(value) {}
    DispatchSemaphore(const DispatchSemaphore&) = delete;
    DispatchSemaphore& operator=(const DispatchSemaphore&) = delete;

    void signal();
    // Waits without end.
    void wait();
    // Waits at most `timeout`; answers true when a unit was taken, false on
    // the time-out.
    bool wait(std::chrono::nanoseconds timeout);
    bool wait(double seconds);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    long value_;
};

} // namespace platform
