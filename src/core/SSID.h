#pragma once

#include "core/NetworkInfo.h"

#include <optional>
#include <vector>

// Reader of the Wi-Fi networks of the supported interfaces.
class SSID {
public:
    // One entry per supported interface, in the platform's order; absent
    // when the platform gives no interface list.
    static std::optional<std::vector<NetworkInfo>> fetchNetworkInfo();
};
