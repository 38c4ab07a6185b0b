#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// A block of work handed to a queue.
using DispatchBlock = std::function<void()>;

class DispatchQueueState;

// A queue of work, in the manner of the phone platform's dispatch queues.
//
// - The main queue is drained only by the main thread's run loop
//   (MainRunLoop); code running on the main thread counts as running on the
//   main queue even outside the run loop.
// - A serial queue runs its blocks one at a time, in order, on a shared pool
//   of worker threads.
// - A global queue runs its blocks concurrently on that pool.
//
// `sync` on the queue the caller is already running on runs the block in line
// instead of locking the queue against itself.
class DispatchQueue : public std::enable_shared_from_this<DispatchQueue> {
public:
    enum class Kind { Main, Serial, Concurrent };
    enum class QoS { Background, Utility, Default, UserInitiated, UserInteractive };

    static std::shared_ptr<DispatchQueue> main();
    static std::shared_ptr<DispatchQueue> global(QoS qos = QoS::Default);
    static std::shared_ptr<DispatchQueue> createSerial(std::string label);

    // The value stored under `key` on the queue the calling thread runs on
    // (none when the thread runs no queue or the queue has no such value).
    static void* getSpecific(const void* key);
    // The queue the calling thread runs on, or none.
    static std::shared_ptr<DispatchQueue> current();

    ~DispatchQueue();
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    void async(DispatchBlock block);
    void sync(const DispatchBlock& block);
    void asyncAfter(std::chrono::nanoseconds delay, DispatchBlock block);
    void asyncAfter(double seconds, DispatchBlock block);

    // Queue-specific values: stored unretained; nullptr removes the key.
    void setSpecific(const void* key, void* value);
    void* specific(const void* key) const;

    // True when the calling thread is running this queue's work.
    bool isCurrent() const;

    // A serial queue with a target runs its work as work of the target, so
    // that it is serialised with whatever else the target runs (a serial
    // target) or runs on the target's thread (the main queue). None: the
    // shared pool of worker threads. False (and nothing changes) for a queue
    // that is not serial, or a target that would run on this queue itself.
    bool setTarget(std::shared_ptr<DispatchQueue> target);
    std::shared_ptr<DispatchQueue> target() const;

    const std::string& label() const { return label_; }
    Kind kind() const { return kind_; }

private:
    friend class MainRunLoop;
    friend class DispatchQueueState;
    DispatchQueue(Kind kind, std::string label);

    Kind kind_;
    std::string label_;
    std::shared_ptr<DispatchQueueState> state_;
};

using DispatchQueuePtr = std::shared_ptr<DispatchQueue>;

} // namespace platform
