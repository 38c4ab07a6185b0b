#include "platform/Clock.h"

#include <chrono>
#include <mutex>

namespace platform {

namespace {
std::mutex clockMutex;
bool fixed = false;
Date fixedNow;
}  // namespace

Date Clock::now() {
    {
        std::lock_guard lock(clockMutex);
        if (fixed) return fixedNow;
    }
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date(std::chrono::duration<double>(since).count());
}

void Clock::setNow(Date date) {
    std::lock_guard lock(clockMutex);
    fixed = true;
    fixedNow = date;
}

void Clock::advance(double seconds) {
    std::lock_guard lock(clockMutex);
    if (fixed) fixedNow = fixedNow.addingTimeInterval(seconds);
}

void Clock::useSystemTime() {
    std::lock_guard lock(clockMutex);
    fixed = false;
}

bool Clock::isFixed() {
    std::lock_guard lock(clockMutex);
    return fixed;
}

Clock::Fixed::Fixed(Date date) {
    {
        std::lock_guard lock(clockMutex);
        wasFixed_ = fixed;
        previous_ = fixedNow;
    }
    setNow(date);
}

Clock::Fixed::~Fixed() {
    std::lock_guard lock(clockMutex);
    fixed = wasFixed_;
    fixedNow = previous_;
}

}  // namespace platform
