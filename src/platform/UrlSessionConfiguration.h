#pragma once

namespace platform {

// Settings of a URL session. A transfer times out when it has been idle
// (nothing sent or received) for the shorter of the request's time-out and
// timeoutIntervalForRequest, or when it has run timeoutIntervalForResource.
class UrlSessionConfiguration {
public:
    double timeoutIntervalForRequest = 60.0;
    double timeoutIntervalForResource = 7 * 24 * 3600.0;

    static UrlSessionConfiguration defaultConfiguration() { return {}; }
};

}  // namespace platform
