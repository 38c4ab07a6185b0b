#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace platform {

// The main thread's run loop: it drains the main queue. The program calls
// `run()` once; tests drive the main queue with `runUntil` and `drain`.
class MainRunLoop {
public:
    // Runs main-queue work until `stop()` is called (from any thread or from
    // a block on the main queue).
    static void run();
    static void stop();

    // Runs main-queue work as it arrives until `done()` answers true or the
    // time-out has passed; answers the last value of `done()`. `done()` is
    // asked after every block and at least every few milliseconds.
    static bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    // Runs every block that is pending on the main queue now (and blocks they
    // queue in turn, up to a bound); answers how many ran.
    static std::size_t drain();

    // Runs main-queue work for the given time.
    static void runFor(std::chrono::milliseconds duration);
};

} // namespace platform
