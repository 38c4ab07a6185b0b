#pragma once

#include <string>

#include "platform/WifiProvider.h"

namespace platform {

// Reads the wireless interfaces of this Linux machine: the list from
// /proc/net/wireless and /sys/class/net/*/wireless, the network name and
// the access point of each through the wireless-extension ioctls.
class LinuxWifiProvider : public WifiProvider {
public:
    std::optional<std::vector<std::string>> supportedInterfaces() override;
    std::optional<NetworkInfoDictionary> currentNetworkInfo(const std::string& interface) override;

    // Interface names of a /proc/net/wireless text (two header lines, then
    // one "name: ..." line per interface).
    static std::vector<std::string> parseProcWireless(const std::string& text);
    static std::string formatBssid(const unsigned char mac[6]);
};

}  // namespace platform
