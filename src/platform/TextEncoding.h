#pragma once

#include <optional>
#include <string>

namespace platform {

// Conversions between the program's UTF-8 text and the byte forms that
// devices and files want.
class TextEncoding {
public:
    static bool isValidUtf8(const std::string& bytes);
    static bool isAscii(const std::string& text);

    // ASCII bytes of a text; absent when the text holds anything else.
    static std::optional<std::string> toAscii(const std::string& text);

    // DOS Latin 2 (code page 852). Strict: absent when a character has no
    // place in the code page (or the text is not UTF-8). Lossy: such a
    // character becomes "?" instead.
    static std::optional<std::string> toCp852(const std::string& utf8);
    static std::string toCp852Lossy(const std::string& utf8);
    // UTF-8 text of CP852 bytes (every byte has a meaning).
    static std::string fromCp852(const std::string& bytes);
};

}  // namespace platform
