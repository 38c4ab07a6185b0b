#include "platform/DispatchSemaphore.h"

namespace platform {

void DispatchSemaphore::signal() {
    // Notify under the lock: a waiter may destroy the semaphore as soon as it
    // has taken its unit.
    std::lock_guard lock(mutex_);
    ++value_;
    cv_.notify_one();
}

void DispatchSemaphore::wait() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return value_ > 0; });
    --value_;
}

bool DispatchSemaphore::wait(std::chrono::nanoseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, timeout, [this] { return value_ > 0; }))
        return false;
    --value_;
    return true;
}

bool DispatchSemaphore::wait(double seconds) {
    if (seconds < 0) {
        wait();
        return true;
    }
    return wait(std::chrono::nanoseconds(static_cast<long long>(seconds * 1e9)));
}

} // namespace platform
