#pragma once

#include <memory>

#include "platform/WifiProvider.h"

namespace platform {

// The process's Wi-Fi information service (the captive-network calls):
// answers through the installed provider. By default the Linux interfaces;
// when the environment sets TREKORA_WIFI_SSID (and optionally
// TREKORA_WIFI_BSSID), a fake interface "wlan0" on that network instead.
class Wifi {
public:
    static constexpr const char* keySSID = "SSID";
    static constexpr const char* keyBSSID = "BSSID";

    static std::optional<std::vector<std::string>> supportedInterfaces();
    static std::optional<NetworkInfoDictionary> currentNetworkInfo(const std::string& interface);

    // nullptr restores the default provider.
    static void setProvider(std::shared_ptr<WifiProvider> provider);
    static std::shared_ptr<WifiProvider> provider();
    // Shorthand: one fake interface on network `ssid`.
    static void simulate(const std::string& ssid, const std::optional<std::string>& bssid = {});
};

}  // namespace platform
