#include "platform/DispatchQueue.h"

#include "platform/DispatchQueueState.h"
#include "platform/DispatchReactor.h"
#include "platform/DispatchWorkerPool.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

DispatchQueue::DispatchQueue(Kind kind, std::string label)
    : kind_(kind), label_(std::move(label)), state_(std::make_shared<DispatchQueueState>(this)) {}

DispatchQueue::~DispatchQueue() = default;

std::shared_ptr<DispatchQueue> DispatchQueue::main() {
    static auto* q = new std::shared_ptr<DispatchQueue>(
        new DispatchQueue(Kind::Main, "main"));
    return *q;
}

std::shared_ptr<DispatchQueue> DispatchQueue::global(QoS qos) {
    static auto* queues = [] {
        auto* v = new std::shared_ptr<DispatchQueue>[5];
        const char* names[5] = {"global.background", "global.utility", "global.default",
                                "global.user-initiated", "global.user-interactive"};
        for (int i = 0; i < 5; ++i)
            v[i] = std::shared_ptr<DispatchQueue>(new DispatchQueue(Kind::Concurrent, names[i]));
        return v;
    }();
    return queues[static_cast<int>(qos)];
}

std::shared_ptr<DispatchQueue> DispatchQueue::createSerial(std::string label) {
    return std::shared_ptr<DispatchQueue>(new DispatchQueue(Kind::Serial, std::move(label)));
}

std::shared_ptr<DispatchQueue> DispatchQueue::current() {
    if (DispatchQueueState::currentSlot())
        return DispatchQueueState::currentSlot()->shared_from_this();
    if (std::this_thread::get_id() == DispatchQueueState::mainThreadId())
        return main();
    return nullptr;
}

void* DispatchQueue::getSpecific(const void* key) {
    DispatchQueue* q = DispatchQueueState::currentSlot();
    if (!q && std::this_thread::get_id() == DispatchQueueState::mainThreadId())
        q = main().get();
    return q ? q->specific(key) : nullptr;
}

bool DispatchQueue::isCurrent() const {
    if (DispatchQueueState::currentSlot())
        return DispatchQueueState::currentSlot() == this;
    return kind_ == Kind::Main && std::this_thread::get_id() == DispatchQueueState::mainThreadId();
}

void DispatchQueue::async(DispatchBlock block) {
    if (kind_ == Kind::Concurrent) {
        DispatchWorkerPool::shared().submit([this, block = std::move(block)] {
            DispatchQueueState::Scope scope(this); // global queues live for the whole process
            block();
        });
        return;
    }
    state_->enqueue(std::move(block));
}

void DispatchQueue::sync(const DispatchBlock& block) {
    if (isCurrent() || kind_ == Kind::Concurrent) {
        DispatchQueueState::Scope scope(this);
        block();
        return;
    }
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    state_->enqueue(
        [&] {
            block();
            std::lock_guard lock(m);
            done = true;
            cv.notify_one();
        });
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return done; });
}

void DispatchQueue::asyncAfter(std::chrono::nanoseconds delay, DispatchBlock block) {
    if (delay.count() <= 0) {
        async(std::move(block));
        return;
    }
    auto self = shared_from_this();
    DispatchReactor::shared().addTimer(std::chrono::steady_clock::now() + delay,
                                       [self, block = std::move(block)]() mutable {
                                           self->async(std::move(block));
                                       });
}

void DispatchQueue::asyncAfter(double seconds, DispatchBlock block) {
    asyncAfter(std::chrono::nanoseconds(static_cast<long long>(seconds * 1e9)), std::move(block));
}

bool DispatchQueue::setTarget(std::shared_ptr<DispatchQueue> target) {
    if (kind_ != Kind::Serial) return false;
    for (auto q = target; q; q = q->target())
        if (q.get() == this) return false;
    state_->setTarget(std::move(target));
    return true;
}

std::shared_ptr<DispatchQueue> DispatchQueue::target() const { return state_->target(); }

void DispatchQueue::setSpecific(const void* key, void* value) { state_->setSpecific(key, value); }

void* DispatchQueue::specific(const void* key) const { return state_->specific(key); }

} // namespace platform
