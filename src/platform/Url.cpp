#include "platform/Url.h"

#include <cctype>
#include <cstring>

namespace platform {

namespace {

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

bool isUnreserved(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// Characters a URL may hold literally (RFC 3986 reserved + unreserved).
bool isUrlCharacter(unsigned char c) {
    return isUnreserved(c) || std::strchr(":/?#[]@!$&'()*+,;=%", c) != nullptr;
}

}  // namespace

std::optional<Url> Url::parse(const std::string& text) {
    if (text.empty()) return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0 || c >= 0x80 || !isUrlCharacter(c)) return std::nullopt;
        if (c == '%' && (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])))
            return std::nullopt;
    }
    Url url;
    url.text_ = text;
    std::string rest = text;
    auto hash = rest.find('#');
    if (hash != std::string::npos) rest.erase(hash);
    // Scheme: a letter, then letters, digits, "+", "-", "." up to ":".
    size_t i = 0;
    if (std::isalpha(static_cast<unsigned char>(rest[0]))) {
        while (i < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[i])) ||
                                   rest[i] == '+' || rest[i] == '-' || rest[i] == '.'))
            ++i;
        if (i < rest.size() && rest[i] == ':') {
            for (size_t k = 0; k < i; ++k)
                url.scheme_ += static_cast<char>(std::tolower(static_cast<unsigned char>(rest[k])));
            rest = rest.substr(i + 1);
        }
    }
    auto question = rest.find('?');
    if (question != std::string::npos) {
        url.query_ = rest.substr(question + 1);
        rest.erase(question);
    }
    if (rest.rfind("//", 0) == 0) {
        auto slash = rest.find('/', 2);
        std::string authority = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        rest = slash == std::string::npos ? "" : rest.substr(slash);
        auto at = authority.rfind('@');
        if (at != std::string::npos) authority = authority.substr(at + 1);
        std::string host = authority;
        if (!authority.empty() && authority[0] == '[') {
            auto close = authority.find(']');
            if (close == std::string::npos) return std::nullopt;
            host = authority.substr(1, close - 1);
            std::string after = authority.substr(close + 1);
            if (!after.empty()) {
                if (after[0] != ':') return std::nullopt;
                authority = after;
            } else {
                authority.clear();
            }
        } else {
            auto colon = authority.rfind(':');
            if (colon != std::string::npos) {
                host = authority.substr(0, colon);
                authority = authority.substr(colon);
            } else {
                authority.clear();
            }
        }
        if (!authority.empty()) {  // ":port"
            std::string digits = authority.substr(1);
            if (digits.size() > 5) return std::nullopt;
            for (char c : digits)
                if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
            if (!digits.empty()) {
                int port = std::stoi(digits);
                if (port > 65535) return std::nullopt;
                url.port_ = port;
            }
        }
        url.host_ = host;
    }
    url.path_ = rest;
    return url;
}

Url Url::fileUrl(const std::string& path) {
    std::string encoded = percentEncode(path, "/!$&'()*+,;=:@");
    auto url = parse("file://" + encoded);
    return url ? *url : Url();
}

std::string Url::path() const { return percentDecode(path_); }

std::string Url::address() const {
    const bool ipv6 = host_.find(':') != std::string::npos;
    std::string text = scheme_ + "://" + (ipv6 ? "[" + host_ + "]" : host_);
    if (port_) text += ":" + std::to_string(*port_);
    return text + path_;
}

std::string Url::lastPathComponent() const {
    std::string p = path_;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    auto slash = p.rfind('/');
    return percentDecode(slash == std::string::npos ? p : (p == "/" ? p : p.substr(slash + 1)));
}

std::string Url::rebuild(const std::string& newPath) const {
    // Replace the path inside the text, keeping scheme, authority, query and fragment.
    std::string prefix;
    if (!scheme_.empty()) prefix = text_.substr(0, scheme_.size() + 1);
    std::string rest = text_.substr(prefix.size());
    std::string authority;
    if (rest.rfind("//", 0) == 0) {
        size_t end = rest.find_first_of("/?#", 2);
        authority = rest.substr(0, end);
    }
    std::string tail;
    if (query_) tail = "?" + *query_;
    auto hash = text_.find('#');
    if (hash != std::string::npos) tail += text_.substr(hash);
    return prefix + authority + newPath + tail;
}

Url Url::appendingPathComponent(const std::string& name) const {
    std::string p = path_;
    if (p.empty() || p.back() != '/') p += '/';
    p += percentEncode(name, "!$&'()*+,;=:@");
    auto url = parse(rebuild(p));
    return url ? *url : *this;
}

Url Url::deletingLastPathComponent() const {
    std::string p = path_;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    auto slash = p.rfind('/');
    p = slash == std::string::npos ? "" : p.substr(0, slash + 1);
    auto url = parse(rebuild(p));
    return url ? *url : *this;
}

std::string Url::percentEncode(const std::string& text, const std::string& keep) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (isUnreserved(c) || (c != 0 && keep.find(static_cast<char>(c)) != std::string::npos)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string Url::percentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() + 0 && isHex(text[i + 1]) && isHex(text[i + 2])) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace platform
