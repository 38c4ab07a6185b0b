#include "net/socket/NetSocketError.h"

#include <cstdio>

namespace {
std::string lookup(const std::map<std::string, std::string>& info, const char* key) {
    auto it = info.find(key);
    return it == info.end() ? std::string() : it->second;
}
} // namespace

std::string NetSocketError::localizedDescription() const {
    auto it = userInfo.find(kLocalizedDescriptionKey);
    if (it != userInfo.end())
        return it->second;
    char text[64];
    std::snprintf(text, sizeof text, "%ld", code);
    return "The operation couldn\u2019t be completed. (" + domain + " error " + text + ".)";
}

std::string NetSocketError::failureReason() const { return lookup(userInfo, kLocalizedFailureReasonKey); }

std::string NetSocketError::recoverySuggestion() const {
    return lookup(userInfo, kLocalizedRecoverySuggestionKey);
}
