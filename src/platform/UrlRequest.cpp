#include "platform/UrlRequest.h"

#include <strings.h>

namespace platform {

UrlRequest::UrlRequest(Url u, double timeout, int policy)
    : url(std::move(u)), timeoutInterval(timeout), cachePolicy(policy) {}

void UrlRequest::setValue(const std::string& value, const std::string& field) {
    for (auto& h : headers_) {
        if (strcasecmp(h.first.c_str(), field.c_str()) == 0) {
            h.second = value;
            return;
        }
    }
    headers_.emplace_back(field, value);
}

std::optional<std::string> UrlRequest::value(const std::string& field) const {
    for (const auto& h : headers_)
        if (strcasecmp(h.first.c_str(), field.c_str()) == 0) return h.second;
    return std::nullopt;
}

}  // namespace platform
