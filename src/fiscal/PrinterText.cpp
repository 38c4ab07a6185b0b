#include "fiscal/PrinterText.h"

#include "platform/TextEncoding.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <utility>

namespace {

// Byte length of the valid UTF-8 character at `i`, 0 when none starts there.
std::size_t characterLength(const std::string& s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) n = 2;
    else if (c >= 0xE0 && c <= 0xEF) n = 3;
    else if (c >= 0xF0 && c <= 0xF4) n = 4;
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return platform::TextEncoding::isValidUtf8(s.substr(i, n)) ? n : 0;
}

// The character without its accents, when that leaves a letter of the code page.
std::string baseLetter(const std::string& character) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status) || !nfd) return "?";
    icu::UnicodeString decomposed = nfd->normalize(icu::UnicodeString::fromUTF8(character), status);
    if (U_FAILURE(status) || decomposed.isEmpty()) return "?";
    std::string base;
    icu::UnicodeString(decomposed.char32At(0)).toUTF8String(base);
    if (base == character) return "?";
    if (auto bytes = platform::TextEncoding::toCp852(base)) return *bytes;
    return "?";
}

}  // namespace

std::string PrinterText::cp852(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t n = characterLength(utf8, i);
        if (n == 0) {
            out += '?';
            ++i;
            continue;
        }
        const std::string character = utf8.substr(i, n);
        if (auto bytes = platform::TextEncoding::toCp852(character)) out += *bytes;
        else out += baseLetter(character);
        i += n;
    }
    return out;
}

std::string PrinterText::selectCodeTable() { return std::string("\x1b\x74\x12", 3); }

std::string PrinterText::withEscapes(const std::string& text) {
    static const std::pair<const char*, const char*> kMarkers[] = {
        {"ESCb", "\x1b\x62"}, {"ESCk", "\x1b\x6b"}, {"ESCe", "\x1b\x65"},
        {"ESCv", "\x1b\x76"}, {"ESCV", "\x1b\x56"}, {"ESC", "\x1b"},
    };
    std::string out = text;
    for (const auto& [marker, bytes] : kMarkers) {
        const std::string from = marker;
        const std::string to = bytes;
        for (auto at = out.find(from); at != std::string::npos; at = out.find(from, at + to.size()))
            out.replace(at, from.size(), to);
    }
    return out;
}
