#pragma once

#include "platform/Date.h"

namespace platform {

// The wall clock of the process. Tests set a fixed "now" (and move it on);
// otherwise the system clock answers.
class Clock {
public:
    static Date now();

    // From now on the clock answers `date` until advanced or reset.
    static void setNow(Date date);
    // Moves a fixed clock on by `seconds` (no effect on the system clock).
    static void advance(double seconds);
    // Back to the system clock.
    static void useSystemTime();
    static bool isFixed();

    // Sets a fixed time for its lifetime and restores the previous state after.
    class Fixed {
    public:
        explicit Fixed(Date date);
        ~Fixed();
        Fixed(const Fixed&) = delete;
        Fixed& operator=(const Fixed&) = delete;

    private:
        bool wasFixed_;
        Date previous_;
    };
};

}  // namespace platform
