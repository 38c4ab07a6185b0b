#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The leading decimal number of a text, as every number reader of the system
// finds it: leading white space skipped, an optional sign, digits with "." as
// the only decimal point (at least one digit), and an optional exponent,
// taken only when digits follow it; the rest of the text is ignored.
class DecimalText {
public:
    // None when the text does not begin with a number.
    static std::optional<DecimalText> read(const std::string& text);
    // The number a person typed, read from the whole text: blanks around it,
    // an optional sign, and digits with at most one decimal separator, "," or
    // "." (at least one digit; no exponent). None when the text holds
    // anything else, so that what was typed is never read as another number.
    static std::optional<DecimalText> readTyped(const std::string& text);

    bool negative = false;
    // Where the number stands in the text, without its sign: [begin, end).
    std::size_t begin = 0;
    std::size_t end = 0;
    // Its significant digits, leading zeros dropped (empty when the number is
    // zero), and how many of them stand before the decimal point once the
    // exponent is applied (negative, or beyond the digits, for small and
    // large numbers).
    std::string digits;
    long long point = 0;
};
