#include "platform/Device.h"

#include <mutex>
#include <unistd.h>

namespace platform {

namespace {
std::mutex deviceMutex;
std::string nameOverride;
}  // namespace

std::string Device::name() {
    {
        std::lock_guard lock(deviceMutex);
        if (!nameOverride.empty()) return nameOverride;
    }
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0 || !buf[0]) return "localhost";
    return buf;
}

void Device::setName(const std::string& name) {
    std::lock_guard lock(deviceMutex);
    nameOverride = name;
}

}  // namespace platform
