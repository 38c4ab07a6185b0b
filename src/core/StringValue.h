#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Numbers travel through the system as texts; these readers turn them into
// numbers the same way everywhere, independent of the locale.

// Leading white space, an optional sign and the decimal digits that follow;
// the rest is ignored. 0 when there is no digit. Saturates beyond 64 bits.
std::int64_t integerValue(std::string_view text);

// Leading white space, an optional sign, digits with "." as the only decimal
// separator and an optional exponent; 0 when the text does not begin with a
// number; plus or minus infinity beyond the float range.
float floatValue(const std::string& text);

// The user-perceived characters from max(0, from) up to min(length, to),
// end exclusive. A start past the end gives the empty text.
std::string substring(const std::string& text, std::int64_t from, std::int64_t to);

// Number of user-perceived characters of a UTF-8 text.
std::int64_t characterCount(const std::string& text);

// The text with the characters that mean markup in HTML replaced by their
// entities, so that data put into a page is shown as written.
std::string escapeHtml(const std::string& text);
