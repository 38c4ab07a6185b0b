#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text helpers of the database layer.
class SqlText {
public:
    // Unicode lower-casing of UTF-8 text (plain ASCII takes a fast path).
    static std::string lowercase(std::string_view text);
    // The text with every "'" doubled, for splicing into a quoted SQL literal.
    static std::string quoteEscaped(std::string_view text);
    // Well-formed UTF-8: shortest forms only, no surrogates, nothing above
    // U+10FFFF.
    static bool isValidUtf8(std::string_view text);
    // Plain ASCII: a quick test that spares the full check most texts.
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
};
