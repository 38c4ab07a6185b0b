#pragma once

#include "platform/DispatchQueue.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace platform {

// The inner part of a queue: its pending blocks and its specific values.
// Internal to the dispatch classes.
class DispatchQueueState {
public:
    explicit DispatchQueueState(DispatchQueue* owner) : owner_(owner) {}

    // The queue the calling thread runs on (none outside any queue's work).
    static DispatchQueue*& currentSlot();
    static std::thread::id mainThreadId();

    // Sets the thread's current queue for the length of a scope.
    class Scope {
    public:
        explicit Scope(DispatchQueue* q) : saved_(currentSlot()) { currentSlot() = q; }
        ~Scope() { currentSlot() = saved_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        DispatchQueue* saved_;
    };

    // Serial and main queues.
    void enqueue(DispatchBlock block);
    void drainSerial();

    // Main queue: runs one block, waiting for one until the deadline (or,
    // when `honourStop`, until a stop is requested). Answers whether one ran.
    bool runOneMain(std::chrono::steady_clock::time_point deadline, bool honourStop);
    std::size_t pendingCount();
    void requestStop(bool stop);
    bool stopRequested();

    void setSpecific(const void* key, void* value);
    void* specific(const void* key);

    void setTarget(std::shared_ptr<DispatchQueue> target);
    std::shared_ptr<DispatchQueue> target();

private:
    // Runs drainSerial() on the target, or on the shared worker pool when
    // there is none.
    void scheduleDrain(const std::shared_ptr<DispatchQueue>& target);

    DispatchQueue* owner_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<DispatchBlock> items_;
    bool scheduled_ = false;
    std::shared_ptr<DispatchQueue> target_;
    bool stopRequested_ = false;
    std::mutex specificMutex_;
    std::unordered_map<const void*, void*> specifics_;
};

} // namespace platform
