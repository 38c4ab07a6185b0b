#include "core/DeviceServices.h"

#include "platform/SystemSounds.h"
#include "platform/Wifi.h"

std::optional<std::string> currentWifiSsid() {
    auto interfaces = platform::Wifi::supportedInterfaces();
    if (!interfaces) return std::nullopt;
    for (const auto& name : *interfaces) {
        if (auto info = platform::Wifi::currentNetworkInfo(name)) {
            auto it = info->find(platform::Wifi::keySSID);
            if (it == info->end()) return std::nullopt;
            return it->second;
        }
    }
    return std::nullopt;
}

void vibrate() { platform::SystemSounds::vibrateDevice(); }
