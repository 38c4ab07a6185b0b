#include "platform/Localization.h"

#include <mutex>

namespace platform {

namespace {
std::mutex tableMutex;
std::map<std::string, std::string>& table() {
    static std::map<std::string, std::string> t;
    return t;
}
}  // namespace

std::string Localization::localizedString(const std::string& key, const std::string&) {
    std::lock_guard lock(tableMutex);
    auto it = table().find(key);
    return it == table().end() ? key : it->second;
}

void Localization::setTable(std::map<std::string, std::string> t) {
    std::lock_guard lock(tableMutex);
    table() = std::move(t);
}

}  // namespace platform
