#include "core/SSID.h"

#include "platform/Wifi.h"

std::optional<std::vector<NetworkInfo>> SSID::fetchNetworkInfo() {
    auto interfaces = platform::Wifi::supportedInterfaces();
    if (!interfaces) return std::nullopt;
    std::vector<NetworkInfo> result;
    for (const auto& name : *interfaces) {
        NetworkInfo info{name, false, std::nullopt, std::nullopt};
        if (auto current = platform::Wifi::currentNetworkInfo(name)) {
            info.success = true;
            if (auto it = current->find(platform::Wifi::keySSID); it != current->end()) info.ssid = it->second;
            if (auto it = current->find(platform::Wifi::keyBSSID); it != current->end()) info.bssid = it->second;
        }
        result.push_back(std::move(info));
    }
    return result;
}
