#pragma once

#include <string>

namespace platform {

// The device itself: its user-visible name is the host name.
class Device {
public:
    static std::string name();
    // "" restores the host name.
    static void setName(const std::string& name);
};

}  // namespace platform
