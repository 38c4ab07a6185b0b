#include "db/SqlText.h"

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
