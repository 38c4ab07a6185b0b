#include "platform/LinuxWifiProvider.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <linux/wireless.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/FileManager.h"

namespace platform {

std::vector<std::string> LinuxWifiProvider::parseProcWireless(const std::string& text) {
    std::vector<std::string> names;
    size_t start = 0;
    int lineNo = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (lineNo++ < 2) continue;
        auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string name = line.substr(0, colon);
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

std::string LinuxWifiProvider::formatBssid(const unsigned char mac[6]) {
    char buf[18];
    std::snprintf(buf, sizeof buf, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return buf;
}

std::optional<std::vector<std::string>> LinuxWifiProvider::supportedInterfaces() {
    std::vector<std::string> names;
    if (auto proc = FileManager::contents("/proc/net/wireless")) names = parseProcWireless(*proc);
    if (auto all = FileManager::contentsOfDirectory("/sys/class/net")) {
        for (const auto& name : *all) {
            bool wireless = FileManager::fileExists("/sys/class/net/" + name + "/wireless") ||
                            FileManager::fileExists("/sys/class/net/" + name + "/phy80211");
            if (wireless && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    if (names.empty()) return std::nullopt;
    return names;
}

std::optional<NetworkInfoDictionary> LinuxWifiProvider::currentNetworkInfo(
    const std::string& interface) {
    if (interface.empty() || interface.size() >= IFNAMSIZ) return std::nullopt;
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    char essid[IW_ESSID_MAX_SIZE + 1] = {};
    struct iwreq request;
    std::memset(&request, 0, sizeof request);
    std::strncpy(request.ifr_name, interface.c_str(), IFNAMSIZ - 1);
    request.u.essid.pointer = essid;
    request.u.essid.length = IW_ESSID_MAX_SIZE;
    if (::ioctl(fd, SIOCGIWESSID, &request) < 0) {
        ::close(fd);
        return std::nullopt;
    }
    size_t length = std::min<size_t>(request.u.essid.length, IW_ESSID_MAX_SIZE);
    std::string ssid(essid, length);
    while (!ssid.empty() && ssid.back() == '\0') ssid.pop_back();
    if (ssid.empty()) {  // not associated
        ::close(fd);
        return std::nullopt;
    }
    NetworkInfoDictionary info;
    info["SSID"] = ssid;
    std::memset(&request, 0, sizeof request);
    std::strncpy(request.ifr_name, interface.c_str(), IFNAMSIZ - 1);
    if (::ioctl(fd, SIOCGIWAP, &request) == 0) {
        const unsigned char* mac =
            reinterpret_cast<const unsigned char*>(request.u.ap_addr.sa_data);
        static const unsigned char zero[6] = {};
        if (std::memcmp(mac, zero, 6) != 0) info["BSSID"] = formatBssid(mac);
    }
    ::close(fd);
    return info;
}

}  // namespace platform
