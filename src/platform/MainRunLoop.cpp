#include "platform/MainRunLoop.h"

#include "platform/DispatchQueue.h"
#include "platform/DispatchQueueState.h"

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
        if (Clock::now() >= deadline)
            return done();
        state.runOneMain(deadline, false);
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
