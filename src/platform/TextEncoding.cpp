#include "platform/TextEncoding.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform {

namespace {

// Decodes one UTF-8 sequence at `i`; answers its byte length, 0 when invalid.
size_t utf8Length(const std::string& s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n;
    unsigned int cp;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
    else return 0;
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

// Converts with iconv; `lossy` replaces each character the target lacks by "?".
std::optional<std::string> convert(const char* to, const char* from, const std::string& in,
                                   bool lossy) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    char buf[1024];
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    std::optional<std::string> result;
    for (;;) {
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        size_t r = iconv(cd, inLeft ? &inPtr : nullptr, &inLeft, &outPtr, &outLeft);
        out.append(buf, static_cast<size_t>(outPtr - buf));
        if (r != static_cast<size_t>(-1)) {
            if (inLeft == 0) {
                result = out;
                break;
            }
            continue;
        }
        if (errno == E2BIG) continue;
        if (errno == EILSEQ && lossy && inLeft > 0) {
            // Skip the whole UTF-8 character the code page lacks.
            size_t n = utf8Length(std::string(inPtr, inLeft), 0);
            if (n == 0) n = 1;
            out += '?';
            inPtr += n;
            inLeft -= n;
            continue;
        }
        break;  // EILSEQ (strict) or EINVAL: incomplete/invalid input
    }
    iconv_close(cd);
    return result;
}

}  // namespace

bool TextEncoding::isValidUtf8(std::string_view text) {
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

std::optional<std::string> TextEncoding::toAscii(const std::string& text) {
    if (!isAscii(text)) return std::nullopt;
    return text;
}

std::optional<std::string> TextEncoding::toCp852(const std::string& utf8) {
    if (!isValidUtf8(utf8)) return std::nullopt;
    return convert("CP852", "UTF-8", utf8, false);
}

std::string TextEncoding::toCp852Lossy(const std::string& utf8) {
    auto r = convert("CP852", "UTF-8", utf8, true);
    return r ? *r : std::string();
}

std::string TextEncoding::fromCp852(const std::string& bytes) {
    auto r = convert("UTF-8", "CP852", bytes, false);
    return r ? *r : std::string();
}

}  // namespace platform
