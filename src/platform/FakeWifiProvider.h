#pragma once

#include <mutex>

#include "platform/WifiProvider.h"

namespace platform {

// A Wi-Fi provider whose answers are set by hand: for tests and for trying
// the printing without the vehicle's Wi-Fi.
class FakeWifiProvider : public WifiProvider {
public:
    FakeWifiProvider() = default;
    // One interface `interface` on the network `ssid` (with `bssid` when given).
    FakeWifiProvider(const std::string& ssid, const std::optional<std::string>& bssid,
                     const std::string& interface = "wlan0");

    // No interface list at all.
    void setNoInterfaces();
    void setInterfaces(std::vector<std::string> names);
    // `info` absent: the interface is on no network.
    void setNetworkInfo(const std::string& interface, std::optional<NetworkInfoDictionary> info);

    std::optional<std::vector<std::string>> supportedInterfaces() override;
    std::optional<NetworkInfoDictionary> currentNetworkInfo(const std::string& interface) override;

private:
    std::mutex mutex_;
    std::optional<std::vector<std::string>> interfaces_;
    std::map<std::string, NetworkInfoDictionary> infos_;
};

}  // namespace platform
