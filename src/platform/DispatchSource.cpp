#include "platform/DispatchSource.h"

#include "platform/DispatchReactor.h"


namespace platform {

DispatchSource::DispatchSource(Type type, int fd, DispatchQueuePtr queue)
    : type_(type), fd_(fd), queue_(std::move(queue)) {}

DispatchSource::~DispatchSource() = default;

std::shared_ptr<DispatchSource> DispatchSource::makeRead(int fd, DispatchQueuePtr queue) {
    std::shared_ptr<DispatchSource> s(new DispatchSource(Type::Read, fd, std::move(queue)));
    auto& r = DispatchReactor::shared();
    std::lock_guard lock(r.sourceMutex());
    r.attachLocked(s);
    return s;
}

std::shared_ptr<DispatchSource> DispatchSource::makeWrite(int fd, DispatchQueuePtr queue) {
    std::shared_ptr<DispatchSource> s(new DispatchSource(Type::Write, fd, std::move(queue)));
    auto& r = DispatchReactor::shared();
    std::lock_guard lock(r.sourceMutex());
    r.attachLocked(s);
    return s;
}

std::shared_ptr<DispatchSource> DispatchSource::makeTimer(DispatchQueuePtr queue) {
    return std::shared_ptr<DispatchSource>(new DispatchSource(Type::Timer, -1, std::move(queue)));
}

void DispatchSource::setEventHandler(DispatchBlock handler) {
    auto h = std::make_shared<const DispatchBlock>(std::move(handler));
    std::lock_guard lock(DispatchReactor::shared().sourceMutex());
    std::swap(eventHandler_, h); // the old handler is released after the lock
}

void DispatchSource::setCancelHandler(DispatchBlock handler) {
    auto h = std::make_shared<const DispatchBlock>(std::move(handler));
    std::lock_guard lock(DispatchReactor::shared().sourceMutex());
    std::swap(cancelHandler_, h);
}

void DispatchSource::setTimer(std::chrono::nanoseconds start) {
    if (type_ != Type::Timer)
        return;
    auto& r = DispatchReactor::shared();
    std::uint64_t gen;
    {
        std::lock_guard lock(r.sourceMutex());
        if (cancelled_)
            return;
        gen = ++timerGen_;
        pendingFire_ = false;
    }
    std::weak_ptr<DispatchSource> weak = shared_from_this();
    r.addTimer(std::chrono::steady_clock::now() + start, [weak, gen] {
        if (auto s = weak.lock())
            s->timerFired(gen);
    });
}

void DispatchSource::setTimer(double seconds) {
    setTimer(std::chrono::nanoseconds(static_cast<long long>(seconds * 1e9)));
}

void DispatchSource::timerFired(std::uint64_t gen) {
    std::lock_guard lock(DispatchReactor::shared().sourceMutex());
    if (cancelled_ || gen != timerGen_)
        return;
    if (suspend_ > 0 || inFlight_) {
        pendingFire_ = true;
        return;
    }
    scheduleDeliveryLocked(1);
}

void DispatchSource::scheduleDeliveryLocked(unsigned long data) {
    inFlight_ = true;
    pendingFire_ = false;
    std::uint64_t gen = timerGen_;
    queue_->async([self = shared_from_this(), gen, data] { self->deliver(gen, data); });
}

void DispatchSource::scheduleCancelLocked() {
    cancelScheduled_ = true;
    queue_->async([self = shared_from_this()] {
        std::shared_ptr<const DispatchBlock> handler;
        {
            std::lock_guard lock(DispatchReactor::shared().sourceMutex());
            handler = self->cancelHandler_;
        }
        if (handler && *handler)
            (*handler)();
        // Release whatever the handlers hold, outside the lock (their
        // captures may own sockets whose destruction cancels sources).
        std::shared_ptr<const DispatchBlock> event, cancel;
        {
            std::lock_guard lock(DispatchReactor::shared().sourceMutex());
            std::swap(event, self->eventHandler_);
            std::swap(cancel, self->cancelHandler_);
        }
    });
}

void DispatchSource::afterHandlerLocked() {
    if (cancelled_) {
        if (suspend_ == 0 && !inFlight_ && !cancelScheduled_)
            scheduleCancelLocked();
        return;
    }
    if (type_ == Type::Timer) {
        if (pendingFire_ && suspend_ == 0 && !inFlight_)
            scheduleDeliveryLocked(1);
    } else {
        DispatchReactor::shared().updateFdLocked(fd_);
    }
}

void DispatchSource::deliver(std::uint64_t timerGen, unsigned long data) {
    auto& r = DispatchReactor::shared();
    std::shared_ptr<const DispatchBlock> handler;
    {
        std::lock_guard lock(r.sourceMutex());
        bool stale = type_ == Type::Timer && timerGen != timerGen_;
        if (cancelled_ || suspend_ > 0 || stale) {
            inFlight_ = false;
            afterHandlerLocked();
            return;
        }
        handler = eventHandler_;
    }
    data_ = data;
    if (handler && *handler)
        (*handler)();
    std::lock_guard lock(r.sourceMutex());
    inFlight_ = false;
    afterHandlerLocked();
}

void DispatchSource::resume() {
    auto& r = DispatchReactor::shared();
    std::lock_guard lock(r.sourceMutex());
    if (suspend_ == 0)
        return;
    if (--suspend_ > 0)
        return;
    if (cancelled_) {
        if (!inFlight_ && !cancelScheduled_)
            scheduleCancelLocked();
        return;
    }
    afterHandlerLocked();
}

void DispatchSource::suspend() {
    auto& r = DispatchReactor::shared();
    std::lock_guard lock(r.sourceMutex());
    ++suspend_;
    if (type_ != Type::Timer && !cancelled_)
        r.updateFdLocked(fd_);
}

void DispatchSource::cancel() {
    auto& r = DispatchReactor::shared();
    std::lock_guard lock(r.sourceMutex());
    if (cancelled_)
        return;
    cancelled_ = true;
    pendingFire_ = false;
    if (type_ == Type::Timer)
        ++timerGen_;
    else
        r.detachLocked(this);
    if (suspend_ == 0 && !inFlight_)
        scheduleCancelLocked();
}

bool DispatchSource::isCancelled() const {
    std::lock_guard lock(DispatchReactor::shared().sourceMutex());
    return cancelled_;
}

} // namespace platform
