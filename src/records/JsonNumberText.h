#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

// The text of a JSON number received from outside, so that two spellings of
// one value read alike: a whole number is its integer text (12, 12.0 and
// 1.2e1 are all "12"); any other number is its JSON text.
class JsonNumberText {
public:
    // `number` must be a JSON number (of either kind of object order).
    template <class Json>
    static std::string of(const Json& number) {
        if (number.is_number_float())
            if (auto text = whole(number.template get<double>())) return *text;
        return number.dump();
    }

    // The integer text of a whole value exact in a double (up to 15 digits;
    // a negative zero is "0"); none for any other value.
    static std::optional<std::string> whole(double d);
};
