#pragma once

#include "platform/DispatchQueue.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

namespace platform {

// Worker threads shared by every serial and global queue. A job never waits
// for a free thread: when every thread is busy (some may block in a system
// call or a synchronous hop), a new one is started; idle threads end after a
// while.
class DispatchWorkerPool {
public:
    static DispatchWorkerPool& shared();
    void submit(DispatchBlock job);

private:
    DispatchWorkerPool() = default;
    void work();

    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<DispatchBlock> jobs_;
    std::size_t idle_ = 0;
    std::size_t threads_ = 0;
};

} // namespace platform
