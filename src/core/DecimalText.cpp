#include "core/DecimalText.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::optional<DecimalText> DecimalText::read(const std::string& text) {
    DecimalText number;
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    number.begin = i;
    // Mantissa: digits, optionally "." and more digits; at least one digit.
    bool any = false;
    while (i < text.size() && isDigit(text[i])) {
        number.digits += text[i++];
        any = true;
    }
    number.point = static_cast<long long>(number.digits.size());
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::string fraction;
        while (j < text.size() && isDigit(text[j])) fraction += text[j++];
        if (any || !fraction.empty()) {
            number.digits += fraction;
            any = true;
            i = j;
        }
    }
    if (!any) return std::nullopt;
    // Exponent, taken only when digits follow.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            long long exponent = 0;
            while (j < text.size() && isDigit(text[j])) {
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            number.point += expNegative ? -exponent : exponent;
            i = j;
        }
    }
    number.end = i;
    // Leading zeros dropped; they move the point along.
    const std::size_t first = number.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        number.digits.clear();
        number.point = 0;
    } else {
        number.digits.erase(0, first);
        number.point -= static_cast<long long>(first);
    }
    return number;
}

std::optional<DecimalText> DecimalText::readTyped(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    std::string typed = text.substr(first, last - first);
    std::size_t i = 0;
    if (i < typed.size() && (typed[i] == '+' || typed[i] == '-')) ++i;
    bool separator = false;
    for (; i < typed.size(); ++i) {
        if (isDigit(typed[i])) continue;
        if ((typed[i] == ',' || typed[i] == '.') && !separator) {
            separator = true;
            typed[i] = '.';
            continue;
        }
        return std::nullopt;
    }
    // What is left is read whole, or it is no number (a sign or a separator
    // without a digit).
    auto number = read(typed);
    if (!number || number->end != typed.size()) return std::nullopt;
    number->begin += first;
    number->end += first;
    return number;
}
