#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Url.h"

namespace platform {

// One HTTP request: address, method, header fields (in the order they were
// set), body, idle time-out in seconds and the cache policy (recorded only;
// nothing is cached).
class UrlRequest {
public:
    explicit UrlRequest(Url url, double timeoutInterval = 60.0, int cachePolicy = 0);

    Url url;
    std::string httpMethod = "GET";
    std::optional<std::string> httpBody;
    double timeoutInterval;
    int cachePolicy;
    // False: a redirect is not followed; the task ends with the redirect's
    // own answer (its status and Location) and nothing goes to the new address.
    // A request that changes something at the peer (any method but GET, HEAD,
    // OPTIONS and TRACE, and every upload) never follows one, whatever this says.
    bool followsRedirects = true;

    // Sets a header field, replacing one of the same name (names compare
    // without regard to case) in its place.
    void setValue(const std::string& value, const std::string& field);
    std::optional<std::string> value(const std::string& field) const;
    const std::vector<std::pair<std::string, std::string>>& allHttpHeaderFields() const {
        return headers_;
    }

private:
    std::vector<std::pair<std::string, std::string>> headers_;
};

}  // namespace platform
