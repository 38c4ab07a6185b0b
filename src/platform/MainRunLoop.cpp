#include "platform/MainRunLoop.h"

#include "platform/DispatchQueue.h"
#include "platform/DispatchQueueState.h"

#include <algorithm>

namespace platform {

namespace {
using Clock = std::chrono::steady_clock;
}

void MainRunLoop::run() {
    auto& state = *DispatchQueue::main()->state_;
    state.requestStop(false);
    while (!state.stopRequested())
        state.runOneMain(Clock::now() + std::chrono::hours(24), true);
    state.requestStop(false);
}

void MainRunLoop::stop() { DispatchQueue::main()->state_->requestStop(true); }

bool MainRunLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto& state = *DispatchQueue::main()->state_;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (done())
            return true;
        const auto now = Clock::now();
        if (now >= deadline)
            return done();
        // Wake now and then: the condition may change on other threads
        // without any main-queue work.
        state.runOneMain(std::min(deadline, now + std::chrono::milliseconds(2)), false);
    }
}

std::size_t MainRunLoop::drain() {
    auto& state = *DispatchQueue::main()->state_;
    std::size_t ran = 0;
    // Bounded so a block that keeps queueing itself cannot hold the caller.
    while (ran < 100000 && state.pendingCount() > 0 && state.runOneMain(Clock::now(), false))
        ++ran;
    return ran;
}

void MainRunLoop::runFor(std::chrono::milliseconds duration) {
    auto& state = *DispatchQueue::main()->state_;
    const auto deadline = Clock::now() + duration;
    while (Clock::now() < deadline)
        state.runOneMain(deadline, false);
}

} // namespace platform
