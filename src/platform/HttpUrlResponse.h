#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Url.h"

namespace platform {

// The head of an HTTP answer: final address, status code and header fields.
class HttpUrlResponse {
public:
    HttpUrlResponse(Url url, int statusCode,
                    std::vector<std::pair<std::string, std::string>> headerFields);

    const Url& url() const { return url_; }
    int statusCode() const { return statusCode_; }
    const std::vector<std::pair<std::string, std::string>>& allHeaderFields() const {
        return headers_;
    }
    // Value of a header field; names compare without regard to case.
    std::optional<std::string> value(const std::string& field) const;
    // Content-Length, or -1 when unknown.
    int64_t expectedContentLength() const;
    // The status code, its standard text and the address that answered, as
    // a failure names them: "404 not found (http://127.0.0.1:8080/a.db3)".
    std::string statusDescription() const;

    // The standard text for a status code ("not found" for 404), lower case;
    // "server error" / "client error" etc. for codes without a text of their own.
    static std::string localizedString(int statusCode);

private:
    Url url_;
    int statusCode_;
    std::vector<std::pair<std::string, std::string>> headers_;
};

}  // namespace platform
