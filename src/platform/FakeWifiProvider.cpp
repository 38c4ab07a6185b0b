#include "platform/FakeWifiProvider.h"

namespace platform {

FakeWifiProvider::FakeWifiProvider(const std::string& ssid,
                                   const std::optional<std::string>& bssid,
                                   const std::string& interface) {
    interfaces_ = std::vector<std::string>{interface};
    NetworkInfoDictionary info{{"SSID", ssid}};
    if (bssid) info["BSSID"] = *bssid;
    infos_[interface] = info;
}

void FakeWifiProvider::setNoInterfaces() {
    std::lock_guard lock(mutex_);
    interfaces_.reset();
}

void FakeWifiProvider::setInterfaces(std::vector<std::string> names) {
    std::lock_guard lock(mutex_);
    interfaces_ = std::move(names);
}

void FakeWifiProvider::setNetworkInfo(const std::string& interface,
                                      std::optional<NetworkInfoDictionary> info) {
    std::lock_guard lock(mutex_);
    if (info) infos_[interface] = *info;
    else infos_.erase(interface);
}

std::optional<std::vector<std::string>> FakeWifiProvider::supportedInterfaces() {
    std::lock_guard lock(mutex_);
    return interfaces_;
}

std::optional<NetworkInfoDictionary> FakeWifiProvider::currentNetworkInfo(
    const std::string& interface) {
    std::lock_guard lock(mutex_);
    auto it = infos_.find(interface);
    if (it == infos_.end()) return std::nullopt;
    return it->second;
}

}  // namespace platform
