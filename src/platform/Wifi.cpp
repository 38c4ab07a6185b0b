#include "platform/Wifi.h"

#include <cstdlib>
#include <mutex>

#include "platform/FakeWifiProvider.h"
#include "platform/LinuxWifiProvider.h"

namespace platform {

namespace {
std::mutex wifiMutex;
std::shared_ptr<WifiProvider> current;

std::shared_ptr<WifiProvider> makeDefault() {
    const char* ssid = std::getenv("TREKORA_WIFI_SSID");
    if (ssid && *ssid) {
        const char* bssid = std::getenv("TREKORA_WIFI_BSSID");
        return std::make_shared<FakeWifiProvider>(
            ssid, bssid && *bssid ? std::optional<std::string>(bssid) : std::nullopt);
    }
    return std::make_shared<LinuxWifiProvider>();
}
}  // namespace

std::shared_ptr<WifiProvider> Wifi::provider() {
    std::lock_guard lock(wifiMutex);
    if (!current) current = makeDefault();
    return current;
}

void Wifi::setProvider(std::shared_ptr<WifiProvider> provider) {
    std::lock_guard lock(wifiMutex);
    current = std::move(provider);
}

void Wifi::simulate(const std::string& ssid, const std::optional<std::string>& bssid) {
    setProvider(std::make_shared<FakeWifiProvider>(ssid, bssid));
}

std::optional<std::vector<std::string>> Wifi::supportedInterfaces() {
    return provider()->supportedInterfaces();
}

std::optional<NetworkInfoDictionary> Wifi::currentNetworkInfo(const std::string& interface) {
    return provider()->currentNetworkInfo(interface);
}

}  // namespace platform
