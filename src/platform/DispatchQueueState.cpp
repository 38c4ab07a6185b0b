#include "platform/DispatchQueueState.h"

#include "platform/DispatchWorkerPool.h"

namespace platform {

namespace {
// Recorded during static initialisation, which runs on the process's main thread.
const std::thread::id kMainThreadId = std::this_thread::get_id();
} // namespace

DispatchQueue*& DispatchQueueState::currentSlot() {
    thread_local DispatchQueue* current = nullptr;
    return current;
}

std::thread::id DispatchQueueState::mainThreadId() { return kMainThreadId; }

void DispatchQueueState::enqueue(DispatchBlock block) {
    bool schedule = false;
    std::shared_ptr<DispatchQueue> target;
    {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(block));
        if (owner_->kind() == DispatchQueue::Kind::Serial && !scheduled_) {
            scheduled_ = true;
            schedule = true;
            target = target_;
        }
    }
    if (owner_->kind() == DispatchQueue::Kind::Main) {
        cv_.notify_all();
    } else if (schedule) {
        scheduleDrain(target);
    }
}

void DispatchQueueState::scheduleDrain(const std::shared_ptr<DispatchQueue>& target) {
    // The drain keeps the queue alive until its pending work has run.
    auto drain = [q = owner_->shared_from_this()] { q->state_->drainSerial(); };
    if (target)
        target->async(std::move(drain));
    else
        DispatchWorkerPool::shared().submit(std::move(drain));
}

void DispatchQueueState::setTarget(std::shared_ptr<DispatchQueue> target) {
    std::lock_guard lock(mutex_);
    target_ = std::move(target);
}

std::shared_ptr<DispatchQueue> DispatchQueueState::target() {
    std::lock_guard lock(mutex_);
    return target_;
}

void DispatchQueueState::drainSerial() {
    Scope scope(owner_);
    std::unique_lock lock(mutex_);
    const std::shared_ptr<DispatchQueue> runningOn = target_;
    while (!items_.empty()) {
        if (target_ != runningOn) {
            // The target changed: the rest runs where it now belongs, so that
            // no later block runs beside the new target's work.
            auto target = target_;
            lock.unlock();
            scheduleDrain(target);
            return;
        }
        DispatchBlock block = std::move(items_.front());
        items_.pop_front();
        lock.unlock();
        block();
        block = nullptr; // release captures before taking the lock again
        lock.lock();
    }
    scheduled_ = false;
}

bool DispatchQueueState::runOneMain(std::chrono::steady_clock::time_point deadline, bool honourStop) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_until(lock, deadline, [&] { return !items_.empty() || (honourStop && stopRequested_); }))
        return false;
    if (items_.empty())
        return false;
    DispatchBlock block = std::move(items_.front());
    items_.pop_front();
    lock.unlock();
    Scope scope(owner_);
    block();
    return true;
}

std::size_t DispatchQueueState::pendingCount() {
    std::lock_guard lock(mutex_);
    return items_.size();
}

void DispatchQueueState::requestStop(bool stop) {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = stop;
    }
    cv_.notify_all();
}

bool DispatchQueueState::stopRequested() {
    std::lock_guard lock(mutex_);
    return stopRequested_;
}

void DispatchQueueState::setSpecific(const void* key, void* value) {
    std::lock_guard lock(specificMutex_);
    if (value)
        specifics_[key] = value;
    else
        specifics_.erase(key);
}

void* DispatchQueueState::specific(const void* key) {
    std::lock_guard lock(specificMutex_);
    auto it = specifics_.find(key);
    return it == specifics_.end() ? nullptr : it->second;
}

} // namespace platform
