#pragma once

#include <string>
#include <vector>

namespace platform {

// Character-wise handling of UTF-8 text, as the text widgets count it: one
// character is one code point. Malformed bytes count as one character each.
class Utf8Text {
public:
    static std::vector<std::string> characters(const std::string& text);
    static size_t length(const std::string& text);
    // The part of text from character `location`, `count` characters long
    // (clipped to the text).
    static std::string substring(const std::string& text, size_t location, size_t count);
};

}  // namespace platform
