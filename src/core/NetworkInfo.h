#pragma once

#include <optional>
#include <string>

// The Wi-Fi state of one network interface.
struct NetworkInfo {
    std::string interface;
    bool success = false;
    std::optional<std::string> ssid;
    std::optional<std::string> bssid;

    bool operator==(const NetworkInfo&) const = default;
};
