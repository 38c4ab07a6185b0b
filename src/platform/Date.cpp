#include "platform/Date.h"

#include "platform/Clock.h"

namespace platform {

Date Date::now() { return Clock::now(); }

}  // namespace platform
