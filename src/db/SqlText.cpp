#include "db/SqlText.h"

#include <cstdint>
#include <cstring>

#include <unicode/locid.h>
#include <unicode/unistr.h>

std::string SqlText::lowercase(std::string_view text) {
    bool ascii = true;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    std::string out;
    if (ascii) {
        out.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            out[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return out;
    }
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    u.toLower(icu::Locale::getRoot());
    u.toUTF8String(out);
    return out;
}

std::string SqlText::quoteEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out.push_back(c);
        if (c == '\'') out.push_back('\'');
    }
    return out;
}

bool SqlText::isValidUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        // Plain ASCII, eight bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (!(word & 0x8080808080808080ULL)) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            if (c == 0xE0) low = 0xA0;        // overlong
            else if (c == 0xED) high = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            if (c == 0xF0) low = 0x90;        // overlong
            else if (c == 0xF4) high = 0x8F;  // above U+10FFFF
        } else {
            return false;  // continuation byte, overlong lead C0/C1, or F5 and above
        }
        if (n - i <= static_cast<std::size_t>(more)) return false;
        if (s[i + 1] < low || s[i + 1] > high) return false;
        for (int k = 2; k <= more; ++k)
            if ((s[i + k] & 0xC0) != 0x80) return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}
