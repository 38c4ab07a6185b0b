#pragma once

#include "platform/DispatchQueue.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

namespace platform {

// An event source served by the one reactor thread: read readiness or write
// readiness of a descriptor, or a one-shot timer.
//
// As on the phone platform a source is created suspended: `resume()` starts
// it. Suspensions are counted; `resume()` on a running source does nothing.
// The event handler runs on the target queue and a source is never
// re-entered: the next event is taken only after the handler has returned.
// `cancel()` stops events for good; the cancel handler then runs once on the
// target queue, after any running event handler and only while the source is
// not suspended (so resume a suspended source after cancelling it, as the
// platform requires). The descriptor is no longer watched when the cancel
// handler runs, so the cancel handler may close it.
class DispatchSource : public std::enable_shared_from_this<DispatchSource> {
public:
    enum class Type { Read, Write, Timer };

    static std::shared_ptr<DispatchSource> makeRead(int fd, DispatchQueuePtr queue);
    static std::shared_ptr<DispatchSource> makeWrite(int fd, DispatchQueuePtr queue);
    static std::shared_ptr<DispatchSource> makeTimer(DispatchQueuePtr queue);

    ~DispatchSource();
    DispatchSource(const DispatchSource&) = delete;
    DispatchSource& operator=(const DispatchSource&) = delete;

    void setEventHandler(DispatchBlock handler);
    void setCancelHandler(DispatchBlock handler);

    // Timer sources: fire once, `start` from now (nanosecond resolution, no
    // leeway). Setting the timer again re-arms it; an earlier setting that has
    // not fired yet is forgotten.
    void setTimer(std::chrono::nanoseconds start);
    void setTimer(double seconds);

    // Inside the event handler: for a read source, the bytes that could be
    // read without blocking when the event came (0 at end of file; 1 when the
    // descriptor cannot tell, as for a listening socket); 1 for the others.
    unsigned long data() const { return data_.load(); }

    void resume();
    void suspend();
    void cancel();
    bool isCancelled() const;

    Type type() const { return type_; }
    int fd() const { return fd_; }
    const DispatchQueuePtr& queue() const { return queue_; }

private:
    friend class DispatchReactor;
    DispatchSource(Type type, int fd, DispatchQueuePtr queue);

    // All of the below under the reactor's source mutex.
    bool armedLocked() const { return !cancelled_ && suspend_ == 0 && !inFlight_; }
    void scheduleDeliveryLocked(unsigned long data);
    void scheduleCancelLocked();
    void afterHandlerLocked();
    void deliver(std::uint64_t timerGen, unsigned long data);
    void timerFired(std::uint64_t gen);

    Type type_;
    int fd_;
    DispatchQueuePtr queue_;
    std::shared_ptr<const DispatchBlock> eventHandler_;
    std::shared_ptr<const DispatchBlock> cancelHandler_;
    int suspend_ = 1;
    bool cancelled_ = false;
    bool cancelScheduled_ = false;
    bool inFlight_ = false;
    bool pendingFire_ = false;
    std::uint64_t timerGen_ = 0;
    std::atomic<unsigned long> data_{0};
};

using DispatchSourcePtr = std::shared_ptr<DispatchSource>;

} // namespace platform
