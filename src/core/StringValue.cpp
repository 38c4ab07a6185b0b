#include "core/StringValue.h"

#include "core/DecimalText.h"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Byte offsets of the grapheme cluster boundaries of a UTF-8 text,
// starting with 0 and ending with the text's size.
std::vector<std::size_t> characterBoundaries(const std::string& text) {
    std::vector<std::size_t> bounds;
    bounds.push_back(0);
    if (text.empty()) return bounds;
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    // Map UTF-16 offsets back to UTF-8 byte offsets.
    std::vector<std::size_t> utf16ToByte(u.length() + 1, text.size());
    {
        std::size_t byte = 0;
        int32_t i16 = 0;
        while (byte < text.size() && i16 < u.length()) {
            utf16ToByte[i16] = byte;
            unsigned char c = static_cast<unsigned char>(text[byte]);
            std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
            byte += len;
            i16 += len == 4 ? 2 : 1;
        }
        utf16ToByte[u.length()] = text.size();
    }
    if (U_FAILURE(status) || !it) {
        for (std::size_t b = 1; b <= text.size(); ++b) {
            if (b == text.size() || (static_cast<unsigned char>(text[b]) & 0xC0) != 0x80) bounds.push_back(b);
        }
        return bounds;
    }
    it->setText(u);
    for (int32_t p = it->next(); p != icu::BreakIterator::DONE; p = it->next()) {
        bounds.push_back(utf16ToByte[p]);
    }
    if (bounds.back() != text.size()) bounds.push_back(text.size());
    return bounds;
}

} // namespace

std::int64_t integerValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint64_t value = 0;
    bool overflow = false;
    const std::uint64_t limit = negative ? static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1
                                         : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    while (i < text.size() && isDigit(text[i])) {
        std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
        if (!overflow) {
            if (value > (limit - digit) / 10) {
                overflow = true;
                value = limit;
            } else {
                value = value * 10 + digit;
            }
        }
        ++i;
    }
    if (negative) {
        if (value == static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1)
            return std::numeric_limits<std::int64_t>::min();
        return -static_cast<std::int64_t>(value);
    }
    return static_cast<std::int64_t>(value);
}

float floatValue(const std::string& text) {
    const auto number = DecimalText::read(text);
    if (!number) return 0.0f;
    const std::size_t start = number->begin;
    const std::size_t i = number->end;
    const bool negative = number->negative;
    double value = 0.0;
    auto result = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: a number with digits before
        // its decimal point (once the exponent is applied) is too large,
        // any other too small, whatever the sign of its exponent.
        value = number->point > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    float f = static_cast<float>(value);
    return negative ? -f : f;
}

std::string substring(const std::string& text, std::int64_t from, std::int64_t to) {
    auto bounds = characterBoundaries(text);
    const std::int64_t length = static_cast<std::int64_t>(bounds.size()) - 1;
    std::int64_t start = from < 0 ? 0 : from;
    std::int64_t end = to < length ? to : length;
    if (start >= end) return std::string();
    return text.substr(bounds[start], bounds[end] - bounds[start]);
}

std::int64_t characterCount(const std::string& text) {
    return static_cast<std::int64_t>(characterBoundaries(text).size()) - 1;
}

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}
