#include "platform/HttpUrlResponse.h"

#include <strings.h>

#include "platform/Numbers.h"

namespace platform {

HttpUrlResponse::HttpUrlResponse(Url url, int statusCode,
                                 std::vector<std::pair<std::string, std::string>> headerFields)
    : url_(std::move(url)), statusCode_(statusCode), headers_(std::move(headerFields)) {}

std::optional<std::string> HttpUrlResponse::value(const std::string& field) const {
    for (const auto& h : headers_)
        if (strcasecmp(h.first.c_str(), field.c_str()) == 0) return h.second;
    return std::nullopt;
}

int64_t HttpUrlResponse::expectedContentLength() const {
    auto v = value("Content-Length");
    if (!v) return -1;
    size_t used = 0;
    int64_t n = parseInt64(*v, &used);
    return used ? n : -1;
}

std::string HttpUrlResponse::statusDescription() const {
    return std::to_string(statusCode_) + " " + localizedString(statusCode_) + " (" + url_.address() + ")";
}

std::string HttpUrlResponse::localizedString(int code) {
    switch (code) {
        case 100: return "continue";
        case 101: return "switching protocols";
        case 200: return "no error";
        case 201: return "created";
        case 202: return "accepted";
        case 203: return "non-authoritative information";
        case 204: return "no content";
        case 205: return "reset content";
        case 206: return "partial content";
        case 300: return "multiple choices";
        case 301: return "moved permanently";
        case 302: return "found";
        case 303: return "see other";
        case 304: return "not modified";
        case 305: return "use proxy";
        case 307: return "temporarily redirected";
        case 308: return "permanent redirect";
        case 400: return "bad request";
        case 401: return "unauthorized";
        case 402: return "payment required";
        case 403: return "forbidden";
        case 404: return "not found";
        case 405: return "method not allowed";
        case 406: return "unacceptable";
        case 407: return "proxy authentication required";
        case 408: return "request timed out";
        case 409: return "conflict";
        case 410: return "no longer exists";
        case 411: return "length required";
        case 412: return "precondition failed";
        case 413: return "request too large";
        case 414: return "requested URL too long";
        case 415: return "unsupported media type";
        case 416: return "requested range not satisfiable";
        case 417: return "expectation failed";
        case 429: return "too many requests";
        case 500: return "internal server error";
        case 501: return "unimplemented";
        case 502: return "bad gateway";
        case 503: return "service unavailable";
        case 504: return "gateway timed out";
        case 505: return "unsupported version";
        default: break;
    }
    if (code >= 100 && code < 200) return "informational";
    if (code >= 200 && code < 300) return "success";
    if (code >= 300 && code < 400) return "redirected";
    if (code >= 400 && code < 500) return "client error";
    if (code >= 500 && code < 600) return "server error";
    return "unknown";
}

}  // namespace platform
