#pragma once

#include <optional>
#include <string>

namespace platform {

// An absolute or relative URL as text, split into its parts. Made from text
// only when the text is well formed (no blanks, no characters outside
// US-ASCII, "%" always followed by two hexadecimal digits).
class Url {
public:
    static std::optional<Url> parse(const std::string& text);
    // "file://" followed by the percent-encoded absolute path.
    static Url fileUrl(const std::string& path);

    const std::string& absoluteString() const { return text_; }
    const std::string& scheme() const { return scheme_; }  // lower-cased, "" when none
    const std::string& host() const { return host_; }
    std::optional<int> port() const { return port_; }
    std::string path() const;  // percent-decoded
    const std::string& encodedPath() const { return path_; }
    const std::optional<std::string>& query() const { return query_; }
    bool isFileUrl() const { return scheme_ == "file"; }
    // For a file URL, the file system path; otherwise path() too.
    std::string filePath() const { return path(); }

    std::string lastPathComponent() const;  // percent-decoded
    // scheme://host[:port]/path, without a user name, password, query or
    // fragment: the address a message names.
    std::string address() const;
    Url appendingPathComponent(const std::string& name) const;
    Url deletingLastPathComponent() const;

    // Percent-encodes every byte except unreserved characters and `keep`.
    static std::string percentEncode(const std::string& text, const std::string& keep = "/");
    // Decodes %XX sequences; other bytes pass unchanged.
    static std::string percentDecode(const std::string& text);

    bool operator==(const Url& other) const { return text_ == other.text_; }

private:
    Url() = default;
    std::string text_;
    std::string scheme_;
    std::string host_;
    std::optional<int> port_;
    std::string path_;
    std::optional<std::string> query_;
    std::string rebuild(const std::string& newPath) const;
};

}  // namespace platform
