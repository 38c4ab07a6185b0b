#pragma once

#include <string>
#include <string_view>

// Text helpers of the database layer.
class SqlText {
public:
    // Unicode lower-casing of UTF-8 text (plain ASCII takes a fast path).
    static std::string lowercase(std::string_view text);
    // The text with every "'" doubled, for splicing into a quoted SQL literal.
    static std::string quoteEscaped(std::string_view text);
};
