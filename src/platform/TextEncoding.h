#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Conversions between the program's UTF-8 text and the byte forms that
// devices and files want.
class TextEncoding {
public:
    // Well-formed UTF-8: shortest forms only, no surrogates, nothing above
    // U+10FFFF.
    static bool isValidUtf8(std::string_view bytes);
    // Plain ASCII; compared a word at a time, as texts read from the database
    // pass through here by the thousand.
    static bool isAscii(std::string_view text) {
        const char* p = text.data();
        const std::size_t n = text.size();
        std::uint64_t bits = 0;
        if (n >= 8) {
            std::uint64_t w;
            for (std::size_t i = 0; i + 8 <= n; i += 8) {
                __builtin_memcpy(&w, p + i, 8);
                bits |= w;
            }
            __builtin_memcpy(&w, p + n - 8, 8);
            return !((bits | w) & 0x8080808080808080ULL);
        }
        if (n >= 4) {
            std::uint32_t a, b;
            __builtin_memcpy(&a, p, 4);
            __builtin_memcpy(&b, p + n - 4, 4);
            return !((a | b) & 0x80808080U);
        }
        for (std::size_t i = 0; i < n; ++i) bits |= static_cast<unsigned char>(p[i]);
        return !(bits & 0x80);
    }

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
