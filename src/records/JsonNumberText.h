#pragma once

#include <nlohmann/json.hpp>

#include <string>

// The text of a JSON number received from outside, so that two spellings of
// one value read alike: a whole number is its integer text (12, 12.0 and
// 1.2e1 are all "12"); any other number is its JSON text.
class JsonNumberText {
public:
    // `number` must be a JSON number.
    static std::string of(const nlohmann::json& number);
};
