#include "platform/DispatchWorkerPool.h"

#include <thread>

namespace platform {

DispatchWorkerPool& DispatchWorkerPool::shared() {
    static DispatchWorkerPool* pool = new DispatchWorkerPool(); // never destroyed: detached threads use it
    return *pool;
}

void DispatchWorkerPool::submit(DispatchBlock job) {
    bool spawn = false;
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        if (jobs_.size() > idle_) {
            spawn = true;
            ++threads_;
        }
    }
    if (spawn) {
        std::thread([this] { work(); }).detach();
    } else {
        cv_.notify_one();
    }
}

void DispatchWorkerPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        while (jobs_.empty()) {
            ++idle_;
            bool woke = cv_.wait_for(lock, std::chrono::seconds(10), [this] { return !jobs_.empty(); });
            --idle_;
            if (!woke) {
                --threads_;
                return;
            }
        }
        DispatchBlock job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        job = nullptr; // release captures before taking the lock again
        lock.lock();
    }
}

} // namespace platform
