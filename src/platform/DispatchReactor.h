#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform {

class DispatchSource;

// The one thread that watches descriptors (epoll) and keeps the timers of the
// dispatch stand-in. Internal to the dispatch classes.
class DispatchReactor {
public:
    static DispatchReactor& shared();

    // Calls `fire` on the reactor thread at (or soon after) the deadline;
    // `fire` must only hand work on.
    void addTimer(std::chrono::steady_clock::time_point deadline, std::function<void()> fire);

    // Guards the state of every source and the descriptor table.
    std::mutex& sourceMutex() { return sourceMutex_; }

    // Under sourceMutex(): attach or detach a descriptor source and bring the
    // epoll interest of its descriptor up to date.
    void attachLocked(const std::shared_ptr<DispatchSource>& source);
    void detachLocked(DispatchSource* source);
    void updateFdLocked(int fd);

private:
    DispatchReactor();
    void loop();
    void handleEvent(std::uint64_t key, std::uint32_t events);

    struct FdEntry {
        std::shared_ptr<DispatchSource> read;
        std::shared_ptr<DispatchSource> write;
        std::uint32_t mask = 0;
        std::uint32_t gen = 0;
        bool registered = false;
    };

    int epollFd_ = -1;
    int wakeFd_ = -1;

    std::mutex sourceMutex_;
    std::unordered_map<int, FdEntry> fds_;
    std::uint32_t nextGen_ = 0;

    std::mutex timerMutex_;
    std::multimap<std::chrono::steady_clock::time_point, std::function<void()>> timers_;
};

} // namespace platform
