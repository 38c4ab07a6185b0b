#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Key-value description of an interface's current Wi-Fi network; the
// network name lies under "SSID", the base station's identifier under "BSSID".
using NetworkInfoDictionary = std::map<std::string, std::string>;

// Source of the Wi-Fi interface list and of their current networks.
class WifiProvider {
public:
    virtual ~WifiProvider() = default;
    // Names of the supported (wireless) interfaces; absent when there is none.
    virtual std::optional<std::vector<std::string>> supportedInterfaces() = 0;
    // The current network of one interface; absent when it is on none.
    virtual std::optional<NetworkInfoDictionary> currentNetworkInfo(const std::string& interface) = 0;
};

}  // namespace platform
